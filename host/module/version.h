#pragma once
// One place for the product's identity; the resource compiler reads it too.
#define ZEPHRIN_VERSION_MAJOR 1
#define ZEPHRIN_VERSION_MINOR 0
#define ZEPHRIN_VERSION_PATCH 118
// major << 24 | minor << 16 | patch, as a 32-bit resource word.
#define ZEPHRIN_PIPL_VERSION 0x01000076L
