// math_walks.cpp -- prints, bit for bit, what the C library's sin, cos, acos
// and asin give over the values the game feeds them: the robot's heading and
// the free camera's two angles, each a float walked up and down by its own
// step (0.1, 0.01, 0.1) and wrapped at pi as the game does, and the ratios
// of the spot-light test, in [-1, 1] and (0, 1). Built natively and for
// Windows, the two outputs compared line by line show where the two maths
// libraries part (tests/windows/compare_maths.sh).
//
//   math_walks [STEPS]     one line per value: the value and its results

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

static unsigned long long lcg = 1;  // the walks' own generator, the same everywhere

static unsigned next32()
{
    lcg = lcg * 6364136223846793005ULL + 1442695040888963407ULL;
    return (unsigned)(lcg >> 32);
}

// The bits of a double, so that equal lines mean equal results.
static unsigned long long bits(double v)
{
    unsigned long long b;
    memcpy(&b, &v, sizeof b);
    return b;
}

// A float angle walked as the game walks it: a step up or down, rounded to
// float, wrapped to the other end past pi. The results the game asks of it:
// sin and cos of the angle and of its negation.
static void walk(int steps, double step, float start)
{
    const double pi = 3.141592653589793;
    const float piF = 3.1415927410125732f;
    float a = start;
    for (int i = 0; i < steps; i++) {
        // Runs of one direction, as a held key makes them.
        int run = 1 + (int)(next32() % 40), up = next32() & 1;
        for (int j = 0; j < run; j++, i++) {
            a = (float)((double)a + (up ? step : -step));
            if ((double)a > pi)
                a = -piF;
            if ((double)a < -pi)
                a = piF;
            double d = a;
            printf("a %016llx %016llx %016llx %016llx %016llx\n", bits(d), bits(sin(d)),
                   bits(cos(d)), bits(sin(-d)), bits(cos(-d)));
        }
    }
}

// The spot-light test's ratios: acos over [-1, 1], asin over (0, 1).
static void ratios(int count)
{
    for (int i = 0; i < count; i++) {
        double u = (double)next32() / 4294967296.0;
        printf("r %016llx %016llx %016llx\n", bits(u), bits(acos(2 * u - 1)), bits(asin(u)));
    }
}

int main(int argc, char** argv)
{
    int steps = argc > 1 ? atoi(argv[1]) : 50000;
    for (float start : {0.0f, 3.1415927410125732f, -3.1415927410125732f, 1.0f}) {
        walk(steps, 0.1, start);
        walk(steps, 0.01, start);
    }
    ratios(steps * 2);
    return 0;
}
