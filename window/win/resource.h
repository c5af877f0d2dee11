// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDI_MIRVANE 1
#define IDR_IMAGE1_GIF 101
#define IDR_BTNSTART_GIF 102
#define IDR_IMAGE1_2X_GIF 103
#define IDR_BTNSTART_2X_GIF 104
