#pragma once
// The maker's home page and e-mail address: the captions of the About
// dialog's two link buttons show them and the buttons hand them to the shell.
#define BELAVO_HOME_PAGE L"https://belavo.example/"
#define BELAVO_MAIL_ADDRESS L"belavo@belavo.example"
