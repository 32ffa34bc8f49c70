// The numbers of the program's resources, shared by the demo and data/resources.rc, which a resource
// compiler or tools/embed reads: #defines, the one kind of name a resource script knows.
#pragma once

#define IDI_QUENDRALIS 101  // the window class icon
#define IDR_RELIEF_A 146    // the first height picture, 320 x 240
#define IDR_RELIEF_B 147    // the second height picture, 320 x 240
#define IDR_LOGO 148        // the logo, 320 x 70
#define IDR_FONT 150        // 37 glyphs of 24 x 19 pixels
