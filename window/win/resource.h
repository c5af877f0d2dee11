// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDI_MIRVANE 1
#define IDR_IMAGE1_GIF 101
#define IDR_BTNSTART_GIF 102
