/* Resource identifiers shared by the resource script and the program. */
#pragma once

#define IDI_MARIGOLD 1
#define IDR_MAIN_PICTURE 101
#define IDR_SPLASH_PICTURE 102
