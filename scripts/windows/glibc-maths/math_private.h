/* math_private.h -- the little of the GNU C Library's internal maths header
   that sin, cos, sincos, asin and acos use, for building them on their own:
   errno, always-inline, and no-ops for the library's symbol aliases, its
   underflow signalling and its rounding-mode guard (the game never changes
   the rounding mode from round-to-nearest). */
#include <errno.h>
#include <stdint.h>
#undef __always_inline
#define __always_inline inline __attribute__((__always_inline__))
#define attribute_hidden
#define __set_errno(e) (errno = (e))
#define SET_RESTORE_ROUND_53BIT(mode)
#define math_check_force_underflow(x) ((void)0)
#define libm_alias_double(from, to)
#define libm_alias_finite(from, to)
