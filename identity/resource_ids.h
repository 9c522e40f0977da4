/* The ids of the resources the code loads, for the code and the resource script alike. */
#ifndef BELAVO_RESOURCE_IDS_H
#define BELAVO_RESOURCE_IDS_H

#define BELAVO_APPLICATION_ICON 1 /* the main window's icon and the About dialog's picture */
#define BELAVO_INFORMATION_ICON 2 /* the About dialog's window icon: an information sign */

#endif
