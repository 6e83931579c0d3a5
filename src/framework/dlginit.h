/* A dialog template's initialisation data (MFC's DLGINIT layout): its
 * resource type, and the message of a record that adds an entry to a combo
 * box's list. Plain #define lines, for the resource compiler and C++. */
#ifndef BRENNICK_FRAMEWORK_DLGINIT_H
#define BRENNICK_FRAMEWORK_DLGINIT_H

#define RT_DLGINIT_DATA 240
#define DLGINIT_CB_ADDSTRING 0x0403

#endif /* BRENNICK_FRAMEWORK_DLGINIT_H */
