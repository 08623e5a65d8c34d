/* endian.h -- the byte order of x86_64, as the GNU C Library's own build
   tells its maths sources. */
#define __LITTLE_ENDIAN 1234
#define __BIG_ENDIAN 4321
#define __BYTE_ORDER __LITTLE_ENDIAN
#define __FLOAT_WORD_ORDER __LITTLE_ENDIAN
#define LITTLE_ENDI 1
#define HIGH_HALF 1
#define LOW_HALF 0
