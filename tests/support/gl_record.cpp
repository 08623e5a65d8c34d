// gl_record.cpp -- the recording stand-in for GL, GLU and GLUT. Each function
// appends one GlCall; nothing is drawn.

#include "gl_record.h"

#include "gl_calls.h"

#include <algorithm>

#include <initializer_list>

std::vector<GlCall> glCalls;

void glRecordReset()
{
    glCalls.clear();
}

std::vector<GlCall> callsNamed(const std::string& name)
{
    std::vector<GlCall> out;
    for (const GlCall& c : glCalls)
        if (c.name == name)
            out.push_back(c);
    return out;
}

size_t countCalls(const std::string& name)
{
    return callsNamed(name).size();
}

long indexOfCall(const std::string& name, size_t n)
{
    for (size_t i = 0; i < glCalls.size(); i++)
        if (glCalls[i].name == name && n-- == 0)
            return (long)i;
    return -1;
}

// Quadrics are created before main, perhaps before glCalls is constructed,
// so creating one records nothing and touches no object with a constructor.
static char quadrics[16];
static int nbQuadrics;

double quadricId(const void* quadric)
{
    return (double)((const char*)quadric - quadrics) + 1;
}

static void record(const char* name, const double* first, const double* last)
{
    glCalls.push_back(GlCall{name, std::vector<double>(first, last)});
}

static void record(const char* name, std::initializer_list<double> args)
{
    record(name, args.begin(), args.end());
}

static void recordArray(const char* name, std::initializer_list<double> head,
                        const GLfloat* values, int n)
{
    GlCall c{name, std::vector<double>(head)};
    for (int i = 0; i < n; i++)
        c.args.push_back(values[i]);
    glCalls.push_back(c);
}

// Display lists: names are handed out in order and stay valid until
// glRecordForgetLists(), as in a context that is then replaced.
static GLuint nextList = 1;
void glRecordForgetLists() { nextList = 1; }

// Matrices read back: those the test set, the identity by default.
double glRecordProjection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
double glRecordModelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

float glRecordLightPosition[4] = {0, 0, 1, 0};
float glRecordLightDirection[3] = {0, 0, -1};
float glRecordLightCutoff = 180;
std::vector<float> glRecordFeedback;

extern "C" {

// Every call of the shared list not written out below records its numbers.
#define GL_CALL(kind, type, name, parameters, numbers) GL_CALL_##kind(type, name, parameters, numbers)
#define RECORD_BODY(type, name, parameters, numbers)    \
    type name parameters                                \
    {                                                   \
        auto values = glNumbers numbers;                \
        record(#name, values.data(), values.data() + values.size()); \
        return glAnswer<type>();                        \
    }
#define GL_CALL_PLAIN RECORD_BODY
#define GL_CALL_ATTRIB RECORD_BODY
#define GL_CALL_SOLID RECORD_BODY
#define GL_CALL_WINDOW RECORD_BODY
#define GL_CALL_CHECKED RECORD_BODY
#define GL_CALL_DETAILED(type, name, parameters, numbers)
#define GL_CALL_ANSWER(type, name, parameters, numbers)
#define GL_FONT(name) void* name;
#include "gl_calls.def"

void glLightfv(GLenum light, GLenum pname, const GLfloat* v)
{
    recordArray("glLightfv", {(double)light, (double)pname}, v, pname == GL_SPOT_DIRECTION ? 3 : 4);
}

void glMaterialfv(GLenum face, GLenum pname, const GLfloat* v)
{
    recordArray("glMaterialfv", {(double)face, (double)pname}, v, pname == GL_SHININESS ? 1 : 4);
}

GLUquadric* gluNewQuadric()
{
    return (GLUquadric*)&quadrics[nbQuadrics++];
}

void gluCylinder(GLUquadric* q, GLdouble base, GLdouble top, GLdouble height, GLint slices, GLint stacks)
{
    record("gluCylinder", {quadricId(q), base, top, height, (double)slices, (double)stacks});
}

GLuint glGenLists(GLsizei n)
{
    record("glGenLists", {(double)n});
    GLuint first = nextList;
    nextList += n;
    return first;
}

GLboolean glIsList(GLuint list) { return list >= 1 && list < nextList; }

void glGetDoublev(GLenum what, GLdouble* out)
{
    const double* m = what == GL_PROJECTION_MATRIX ? glRecordProjection : glRecordModelview;
    for (int i = 0; i < 16; i++)
        out[i] = m[i];
}

// The current normal is the last one given; the game asks for nothing else.
void glGetFloatv(GLenum, GLfloat* out)
{
    std::vector<GlCall> normals = callsNamed("glNormal3f");
    for (int i = 0; i < 3; i++)
        out[i] = normals.empty() ? i == 2 : normals.back().args[i];
}

void glGetLightfv(GLenum, GLenum what, GLfloat* out)
{
    if (what == GL_POSITION)
        for (int i = 0; i < 4; i++)
            out[i] = glRecordLightPosition[i];
    if (what == GL_SPOT_DIRECTION)
        for (int i = 0; i < 3; i++)
            out[i] = glRecordLightDirection[i];
    if (what == GL_SPOT_CUTOFF)
        out[0] = glRecordLightCutoff;
}

static GLfloat* feedbackBuffer;
static GLsizei feedbackSize;

void glFeedbackBuffer(GLsizei size, GLenum type, GLfloat* buffer)
{
    record("glFeedbackBuffer", {(double)size, (double)type});
    feedbackBuffer = buffer;
    feedbackSize = size;
}

// Leaving feedback mode hands back glRecordFeedback, as much as fits.
GLint glRenderMode(GLenum mode)
{
    record("glRenderMode", {(double)mode});
    if (mode != GL_RENDER || feedbackBuffer == nullptr)
        return 0;
    GLint n = std::min((GLint)glRecordFeedback.size(), (GLint)feedbackSize);
    std::copy(glRecordFeedback.begin(), glRecordFeedback.begin() + n, feedbackBuffer);
    feedbackBuffer = nullptr;
    return n;
}

#ifdef _WIN32
// On Windows the game reaches GL and GLU through import slots (__imp_name),
// as it would in a DLL: each slot here points at the stand-in of that name.
#undef GL_CALL
#undef GL_FONT
#define GL_CALL(kind, type, name, parameters, numbers) type(APIENTRY* __imp_##name) parameters = name;
#define GL_FONT(name)
#include "gl_calls.def"
#endif

}  // extern "C"
