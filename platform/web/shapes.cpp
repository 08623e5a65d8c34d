// shapes.cpp -- GLU's camera helpers and the solids the game draws (GLU's
// cylinder, GLUT's cube, sphere, cone, torus and octahedron), built from
// glBegin/glVertex calls into gl_layer.cpp, with the vertex order, normals
// and cuts the desktop's GLU and freeglut give them, so the web pictures
// light the same facets.

#include <cmath>
#include <vector>

#include "layer.h"

struct GLUquadric {
    int unused;
};

// The game makes its quadrics before main; they hold no settings here
// (smooth normals, filled, facing out: the defaults the game uses).
GLUquadric* gluNewQuadric()
{
    static GLUquadric quadrics[8];
    static int used;
    return used < 8 ? &quadrics[used++] : &quadrics[7];
}

// The symmetric perspective, computed in double precision as GLU does.
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    double radians = fovy / 2 * M_PI / 180;
    double deltaZ = zFar - zNear, sine = std::sin(radians);
    if (deltaZ == 0 || sine == 0 || aspect == 0)
        return;
    double cotangent = std::cos(radians) / sine;
    double m[16] = {};
    m[0] = cotangent / aspect;
    m[5] = cotangent;
    m[10] = -(zFar + zNear) / deltaZ;
    m[11] = -1;
    m[14] = -2 * zNear * zFar / deltaZ;
    glMultMatrixd(m);
}

static void normalise(float v[3])
{
    float r = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (r == 0)
        return;
    for (int k = 0; k < 3; k++)
        v[k] /= r;
}

// The viewing transform, in single precision as GLU computes it: the
// rotation from the forward, side and up axes, then the eye moved to 0.
void gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz,
               GLdouble ux, GLdouble uy, GLdouble uz)
{
    float f[3] = {(float)(cx - ex), (float)(cy - ey), (float)(cz - ez)};
    float up[3] = {(float)ux, (float)uy, (float)uz}, s[3], u[3];
    normalise(f);
    s[0] = f[1] * up[2] - f[2] * up[1];
    s[1] = f[2] * up[0] - f[0] * up[2];
    s[2] = f[0] * up[1] - f[1] * up[0];
    normalise(s);
    u[0] = s[1] * f[2] - s[2] * f[1];
    u[1] = s[2] * f[0] - s[0] * f[2];
    u[2] = s[0] * f[1] - s[1] * f[0];
    double m[16] = {s[0], u[0], -f[0], 0, s[1], u[1], -f[1], 0, s[2], u[2], -f[2], 0, 0, 0, 0, 1};
    glMultMatrixd(m);
    glTranslated(-ex, -ey, -ez);
}

// A cylinder along +Z from radius `base` at 0 to `top` at `height`, in
// stacks of quad strips, each strip going once around from +Y.
void gluCylinder(GLUquadric* q, GLdouble base, GLdouble top, GLdouble height, GLint slices,
                 GLint stacks)
{
    (void)q;
    if (slices < 2 || stacks < 1 || base < 0 || top < 0 || height < 0)
        return;
    double delta = base - top, length = std::sqrt(delta * delta + height * height);
    if (length == 0)
        return;
    float zNormal = (float)(delta / length), xyRatio = (float)(height / length);
    std::vector<float> sines(slices + 1), cosines(slices + 1);
    for (int i = 0; i < slices; i++) {
        double a = 2 * M_PI * i / slices;
        sines[i] = (float)std::sin(a);
        cosines[i] = (float)std::cos(a);
    }
    sines[slices] = sines[0];
    cosines[slices] = cosines[0];
    for (int j = 0; j < stacks; j++) {
        float zLow = (float)(j * height / stacks), zHigh = (float)((j + 1) * height / stacks);
        float rLow = (float)(base - delta * ((float)j / stacks));
        float rHigh = (float)(base - delta * ((float)(j + 1) / stacks));
        glBegin(GL_QUAD_STRIP);
        for (int i = 0; i <= slices; i++) {
            glNormal3f(sines[i] * xyRatio, cosines[i] * xyRatio, zNormal);
            glVertex3f(rLow * sines[i], rLow * cosines[i], zLow);
            glVertex3f(rHigh * sines[i], rHigh * cosines[i], zHigh);
        }
        glEnd();
    }
}

// A table of n + 1 points around the circle, the last equal to the first;
// a negative n goes round clockwise.
static void circleTable(int n, std::vector<float>& s, std::vector<float>& c)
{
    int size = n < 0 ? -n : n;
    double step = 2 * M_PI / (n == 0 ? 1 : n);
    s.assign(size + 1, 0);
    c.assign(size + 1, 0);
    for (int i = 0; i < size; i++) {
        s[i] = (float)std::sin(step * i);
        c[i] = (float)std::cos(step * i);
    }
    s[size] = s[0];
    c[size] = c[0];
}

// A cube of side `size` about the origin: six faces, each under its own
// normal.
void glutSolidCube(GLdouble size)
{
    static const float N[6][3] = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0},
                                  {-1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
    static const float V[6][4][3] = {
        {{1, 1, 1}, {-1, 1, 1}, {-1, -1, 1}, {1, -1, 1}},
        {{1, 1, 1}, {1, -1, 1}, {1, -1, -1}, {1, 1, -1}},
        {{1, 1, 1}, {1, 1, -1}, {-1, 1, -1}, {-1, 1, 1}},
        {{-1, 1, 1}, {-1, 1, -1}, {-1, -1, -1}, {-1, -1, 1}},
        {{-1, -1, 1}, {-1, -1, -1}, {1, -1, -1}, {1, -1, 1}},
        {{1, -1, -1}, {-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}},
    };
    float h = (float)size / 2;
    glBegin(GL_QUADS);
    for (int f = 0; f < 6; f++) {
        glNormal3f(N[f][0], N[f][1], N[f][2]);
        for (int v = 0; v < 4; v++)
            glVertex3f(V[f][v][0] * h, V[f][v][1] * h, V[f][v][2] * h);
    }
    glEnd();
}

// A sphere about the origin, its poles on the Z axis, in strips of
// constant latitude from the north pole down; each vertex's normal is its
// direction from the centre.
void glutSolidSphere(GLdouble radius, GLint slices, GLint stacks)
{
    if (slices < 1 || stacks < 1)
        return;
    std::vector<float> s1, c1, s2, c2;
    circleTable(-slices, s1, c1);
    circleTable(2 * stacks, s2, c2);  // half of it: from the pole to the pole
    float r = (float)radius;
    for (int i = 0; i < stacks; i++) {
        glBegin(GL_TRIANGLE_STRIP);
        for (int j = 0; j <= slices; j++)
            for (int k : {i, i + 1}) {
                float x = c1[j] * s2[k], y = s1[j] * s2[k], z = c2[k];
                glNormal3f(x, y, z);
                glVertex3f(x * r, y * r, z * r);
            }
        glEnd();
    }
}

// A cone along +Z: its base, a disc at 0 facing -Z, and its side, in
// `stacks` bands from the base up to the tip, with the side's slanted
// normals.
void glutSolidCone(GLdouble base, GLdouble height, GLint slices, GLint stacks)
{
    if (slices < 1 || stacks < 1)
        return;
    std::vector<float> s, c;
    circleTable(-slices, s, c);
    float b = (float)base, h = (float)height;
    float zStep = h / stacks, rStep = b / stacks;
    float slant = std::sqrt(h * h + b * b);
    float cosn = slant > 0 ? h / slant : 0, sinn = slant > 0 ? b / slant : 0;
    glBegin(GL_TRIANGLE_FAN);
    glNormal3f(0, 0, -1);
    glVertex3f(0, 0, 0);
    for (int j = 0; j <= slices; j++)  // clockwise from above: it faces down
        glVertex3f(c[j] * b, s[j] * b, 0);
    glEnd();
    for (int i = 0; i < stacks; i++) {
        glBegin(GL_TRIANGLE_STRIP);
        for (int j = 0; j <= slices; j++)
            for (int k : {i, i + 1}) {
                float r = b - rStep * k;
                glNormal3f(c[j] * cosn, s[j] * cosn, sinn);
                glVertex3f(c[j] * r, s[j] * r, zStep * k);
            }
        glEnd();
    }
}

// A torus about the Z axis: a tube of radius `inner` around a ring of
// radius `outer` in the X-Y plane, in strips along the ring.
void glutSolidTorus(GLdouble inner, GLdouble outer, GLint sides, GLint rings)
{
    if (sides < 1 || rings < 1)
        return;
    std::vector<float> sp, cp, st, ct;
    circleTable(-rings, sp, cp);  // around the ring
    circleTable(sides, st, ct);   // around the tube
    float ri = (float)inner, ro = (float)outer;
    for (int i = 0; i < sides; i++) {
        glBegin(GL_TRIANGLE_STRIP);
        for (int j = 0; j <= rings; j++)
            for (int k : {i + 1, i}) {
                float nx = cp[j] * ct[k], ny = sp[j] * ct[k], nz = st[k];
                glNormal3f(nx, ny, nz);
                glVertex3f(cp[j] * (ro + ri * ct[k]), sp[j] * (ro + ri * ct[k]), ri * nz);
            }
        glEnd();
    }
}

// The regular octahedron with its corners on the axes at distance 1: eight
// flat faces, each under its own normal.
void glutSolidOctahedron()
{
    const float k = 0.57735026918962576f;  // 1 / sqrt(3)
    glBegin(GL_TRIANGLES);
    for (int f = 0; f < 8; f++) {
        float sx = (f & 1) ? -1 : 1, sy = (f & 2) ? -1 : 1, sz = (f & 4) ? -1 : 1;
        glNormal3f(sx * k, sy * k, sz * k);
        // Counter-clockwise seen from outside: flip the order on odd octants.
        bool flip = (sx * sy * sz) < 0;
        glVertex3f(sx, 0, 0);
        if (flip) {
            glVertex3f(0, 0, sz);
            glVertex3f(0, sy, 0);
        } else {
            glVertex3f(0, sy, 0);
            glVertex3f(0, 0, sz);
        }
    }
    glEnd();
}
