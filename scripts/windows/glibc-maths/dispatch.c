/* dispatch.c -- sin, cos, sincos, asin and acos for the Windows build, from
   the GNU C Library's own sources, so that the game computes what it
   computes on Linux to the last bit. The library is built twice, as glibc
   builds it for x86_64: a plain SSE2 variant, one for processors with FMA
   and AVX2 and one for those with AMD's FMA4; glibc picks among them on the
   processor it runs on, and so does this file, by the same rule. */
#include <math.h>

double __sin_sse2(double), __sin_fma(double), __sin_fma4(double);
double __cos_sse2(double), __cos_fma(double), __cos_fma4(double);
void __sincos_sse2(double, double*, double*), __sincos_fma(double, double*, double*),
    __sincos_fma4(double, double*, double*);
double __asin_sse2(double), __asin_fma(double), __asin_fma4(double);
double __acos_sse2(double), __acos_fma(double), __acos_fma4(double);

/* The variant glibc would take: 1 (FMA) where FMA and AVX2 are both
   usable, else 2 (FMA4) where FMA4 is, else 0 (SSE2). */
static int variant(void)
{
    static int known = -1;
    if (known < 0) {
        __builtin_cpu_init();
        known = __builtin_cpu_supports("fma") && __builtin_cpu_supports("avx2") ? 1
                : __builtin_cpu_supports("fma4")                               ? 2
                                                                                : 0;
    }
    return known;
}

double sin(double x)
{
    int v = variant();
    return v == 1 ? __sin_fma(x) : v == 2 ? __sin_fma4(x) : __sin_sse2(x);
}

double cos(double x)
{
    int v = variant();
    return v == 1 ? __cos_fma(x) : v == 2 ? __cos_fma4(x) : __cos_sse2(x);
}

void sincos(double x, double* s, double* c)
{
    int v = variant();
    if (v == 1)
        __sincos_fma(x, s, c);
    else if (v == 2)
        __sincos_fma4(x, s, c);
    else
        __sincos_sse2(x, s, c);
}

double asin(double x)
{
    int v = variant();
    return v == 1 ? __asin_fma(x) : v == 2 ? __asin_fma4(x) : __asin_sse2(x);
}

double acos(double x)
{
    int v = variant();
    return v == 1 ? __acos_fma(x) : v == 2 ? __acos_fma4(x) : __acos_sse2(x);
}

/* The float and long double pairs stay the C runtime's own, but must be
   defined here too: the runtime keeps all three pairs in one object, which
   would bring its sincos back beside the one above. (Built with
   -fno-builtin, so the compiler does not turn these back into sincosf.) */
void sincosf(float x, float* s, float* c)
{
    *s = sinf(x);
    *c = cosf(x);
}

void sincosl(long double x, long double* s, long double* c)
{
    *s = sinl(x);
    *c = cosl(x);
}
