/* The application's identity, shared by the code and the version block. */
#ifndef BELAVO_VERSION_H
#define BELAVO_VERSION_H

#define BELAVO_TITLE "Belavo"
#define BELAVO_PRODUCT_NAME "Belavo Ver1.3"
#define BELAVO_VERSION_MAJOR 1
#define BELAVO_VERSION_MINOR 3
#define BELAVO_VERSION_BUILD 0
#define BELAVO_VERSION_REVISION 8
/* The minor number in two digits and the revision in four. */
#define BELAVO_VERSION_TEXT "1.03.0008"
#define BELAVO_COPYRIGHT "Copyright (C) 2026 Belavo developers"

#endif
