// cull.cpp -- what the default drawing may leave out: is a bounding sphere
// in the view volume, and can the spot light reach it? Both answer from
// matrices and light values read back from GL, and both err on the side of
// drawing: a doubt draws the tree as designed.

#include <cmath>

#include "game.h"

// Is any part of the sphere (x, y, z, r) inside the view volume of `m`, a
// column-major projection times model-view? Each of the six planes of the
// volume is a sum or difference of the fourth row and another; a sphere
// wholly on the outer side of one plane is out. A matrix whose planes are
// not all sound (zero or not-a-number normals, as a degenerate view can
// give) culls nothing.
int sphereInView(const double m[16], double x, double y, double z, double r)
{
    return sphereVisibility(m, x, y, z, r) != 0;
}

// As sphereInView, with 2 for a sphere in view and wholly between the near
// and far planes, 1 for one in view that reaches across either, 0 for out.
int sphereVisibility(const double m[16], double x, double y, double z, double r)
{
    double distance[6];
    for (int plane = 0; plane < 6; plane++) {
        int row = plane / 2;
        double sign = plane % 2 == 0 ? 1 : -1;
        double a = m[3] + sign * m[row];
        double b = m[7] + sign * m[4 + row];
        double c = m[11] + sign * m[8 + row];
        double d = m[15] + sign * m[12 + row];
        double length = sqrt(a * a + b * b + c * c);
        if (!(length > 1e-12) || !std::isfinite(length) || !std::isfinite(d))
            return 1;
        distance[plane] = (a * x + b * y + c * z + d) / length;
    }
    for (double d : distance)
        if (d < -r)
            return 0;
    return distance[4] > r && distance[5] > r ? 2 : 1;
}

// Could the spot light (`light` in eye coordinates, w 0 for a light at
// infinity; `direction`; half angle `cutoff` in degrees) reach any point of
// the sphere (centre in eye coordinates, radius r)? GL gives a point outside
// the cone no light at all from it. A light at infinity, a cone of 90
// degrees or more, or a light inside the sphere counts as reaching it; one
// degree is added to the cone so that rounding never decides.
int sphereInSpot(const double light[4], const double direction[3], double cutoff,
                 const double centre[3], double r)
{
    if (light[3] == 0 || !(cutoff < 90))
        return 1;
    double v[3], along = 0, distance = 0, dirLength = 0;
    for (int k = 0; k < 3; k++) {
        v[k] = centre[k] - light[k] / light[3];
        along += v[k] * direction[k];
        distance += v[k] * v[k];
        dirLength += direction[k] * direction[k];
    }
    distance = sqrt(distance);
    dirLength = sqrt(dirLength);
    if (!(distance > r) || !(dirLength > 0))
        return 1;
    double toCentre = acos(fmax(-1.0, fmin(1.0, along / (distance * dirLength))));
    double spread = asin(r / distance);
    return toCentre - spread < (cutoff + 1) * M_PI / 180;
}
