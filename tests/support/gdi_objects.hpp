#pragma once
#include "ui_driver.hpp"  // liveGdiObjects is declared there
