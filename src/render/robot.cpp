// robot.cpp -- the player's robot and its punches. Everything is drawn in the
// robot's own frame: origin in the middle of the shoulders, +Y up, +X its
// front, -Z its left. No material is set: with colour material on, each
// glColor3f sets the lit colour of what follows, and the colour carries over
// from piece to piece (push and pop save only the matrix).

#include "game.h"

const int nbAn = 6;  // punch keyframes
const int vit = 10;  // degrees a joint turns per frame

// Punch keyframes: first joint, second joint. Every angle is a multiple of
// vit, so a joint lands exactly on its target and the equality tests hold.
// The last one is the rest pose.
const float hitPos[nbAn][2] = {
    {0, 20}, {-40, 90}, {20, 90}, {50, 40}, {0, 20}, {0, 20},
};

static void punchStep();

// V starts a punch when none runs; hit 0 or 1 tells which arm goes next.
// Reads keyStates; writes hit, punch.
void punchTrigger()
{
    if (keyStates[118] == 1 && (hit == 1 || hit == 0)) {  // 118: v
        hit = hit + 2;
        punch = 0;
        soundAt(SOUND_PUNCH, X0, Z0);
    }
}

// Draws the robot where it stands, turned to its heading: its +X front then
// points along (-cos angle, 0, -sin angle), the way z drives it. A frame
// that is not drawn still places the light, which the next frame's trees
// are lit by, and still moves the punching arm a step.
// Reads X0, y, Z0, angle, roue1, roue2, frameDrawn; the punch moves.
void drawPlayer()
{
    glPushMatrix();
    glTranslatef(X0, y, Z0);
    glRotatef((float)((double)angle * DEGREES_PER_RADIAN + 180), 0, -1, 0);
    if (frameDrawn) {
        robot(roue1, roue2, 0);
    } else {
        lumiere();
        if ((hit == 2 || hit == 3) && punch < nbAn)  // as bras() of the punching arm
            punchStep();
    }
    glPopMatrix();
}

// The whole robot: its light, the shoulder bar and body (not in first
// person, where they would fill the view), the marker of the overhead map,
// and the two arms. Reads typeCam.
void robot(float R1, float R2, int type)
{
    lumiere();
    glColor3f(1, 1, 0);
    if (typeCam != CAM_FIRST_PERSON) {
        glPushMatrix();
        glScalef(1, 1, 5);
        glutSolidCube(0.5);
        glPopMatrix();

        glPushMatrix();
        body(R1, R2, type);
        glPopMatrix();
    }
    if (typeCam == CAM_MAP) {
        // A blue ball over the shoulders with a cone toward the front.
        glPushMatrix();
        glColor3f(0, 0, 0.8);
        glTranslatef(0, 1, 0);
        glRotatef(-90, 0, -1, 0);
        glutSolidCone(2, 4, 20, 20);
        glutSolidSphere(2, 20, 20);
        glPopMatrix();
    }
    glPushMatrix();
    glTranslatef(0, 0, -1);
    bras(0);
    glPopMatrix();

    glPushMatrix();
    glTranslatef(0, 0, 1);
    bras(1);
    glPopMatrix();
}

// The top lump (a torus whose tube outgrows its ring) and the torso box.
static void torso()
{
    glPushMatrix();
    glColor3f(1, 0, 0);
    glTranslatef(0.1f, -0.1f, 0);
    glScalef(1, 1, 1.8f);
    glutSolidTorus(0.2, 0.1, 20, 20);
    glPopMatrix();

    glPushMatrix();
    glColor3f(1, 1, 0);
    glTranslatef(0, -0.5f, 0);
    glScalef(1, 2, 2);
    glutSolidCube(0.5);
    glPopMatrix();
}

// One wheel: a torus in the X-Y plane turning about Z, in its own colour.
static void wheel(float red, float green, float z, float turn)
{
    glPushMatrix();
    glColor3f(red, green, 0);
    glTranslatef(0, -1.7f, z);
    glRotatef(turn, 0, 0, 1);
    glScalef(0.4f, 0.4f, 0.5f);
    glutSolidTorus(0.2, 0.4, 10, 10);
    glPopMatrix();
}

// One of the two struts from the torso down to the wheels; the first one
// sets the white that the second strut and the hubs carry on.
static void strut(float z, int setWhite)
{
    glPushMatrix();
    if (setWhite)
        glColor3f(1, 1, 1);
    glTranslatef(0, -1, z);
    glScalef(0.3f, 0.8f, 0.3f);
    glRotatef(45, 0, 1, 0);
    glutSolidOctahedron();
    glPopMatrix();
}

// One of the two hubs at the ends of the axle.
static void hub(float z)
{
    glPushMatrix();
    glTranslatef(0, -1.69f, z);
    glutSolidSphere(0.1, 20, 20);
    glPopMatrix();
}

// The body: nine pieces, each in its own push and pop. The second strut and
// the hubs have no colour of their own: the first strut's white runs on.
// Leaves the colour red. `type`, handed down by robot(), picks nothing: there
// is one robot, and every caller passes 0.
void body(float R1, float R2, int type)
{
    (void)type;
    torso();
    wheel(0.5f, 1, -0.1f, R1);  // wheel 1, on the left
    wheel(1, 0.5f, 0.1f, R2);   // wheel 2, on the right
    strut(-0.28f, 1);
    strut(0.28f, 0);
    hub(0.25f);
    hub(-0.25f);

    glPushMatrix();  // the axle through both hubs
    glColor3f(1, 0, 0);
    glTranslatef(0, -1.68f, -0.3f);
    gluCylinder(Croue, 0.08, 0.08, 0.6, 20, 20);
    glPopMatrix();
}

// Moves a joint angle one step toward its target, landing on it exactly.
static void stepToward(float* jointAngle, float target)
{
    if (*jointAngle > target)
        *jointAngle = *jointAngle - vit;
    if (*jointAngle < target)
        *jointAngle = *jointAngle + vit;
}

// One frame of the punch of the punching arm: both joints step toward the
// current keyframe; once both are on it, the next keyframe; after the last,
// the punch is over and the other arm is next.
// Reads and writes angleP1, angleP2, punch, hit.
static void punchStep()
{
    float t1 = hitPos[punch][0];
    float t2 = hitPos[punch][1];

    stepToward(&angleP1, t1);
    stepToward(&angleP2, t2);
    if (angleP2 == t2 && angleP1 == t1) {
        punch = punch + 1;
        if (punch == nbAn)
            hit = (hit == 2) ? 1 : 0;
    }
}

// One arm segment: turn at the joint, hang a magenta cylinder of the given
// length, then move down to the cyan ball at its end.
static void armSegment(float jointAngle, double length, float offset)
{
    glRotatef(jointAngle, 0, 0, 1);
    glPushMatrix();
    glColor3f(1, 0, 1);
    glRotatef(90, 1, 0, 0);
    gluCylinder(Cbras, 0.2, 0.2, length, 20, 20);
    glColor3f(0, 1, 1);
    glPopMatrix();
    glTranslatef(0, -offset, 0);
    glutSolidSphere(0.2, 20, 20);
}

// Arm `type` (0 left, 1 right), from the shoulder joint at the current
// matrix downward: animated when it is the punching arm, else at rest.
// Reads hit, punch, angleP1, angleP2 (and moves them while punching).
void bras(int type)
{
    if (type + 2 == hit && punch < nbAn)
        punchStep();

    float first = hitPos[nbAn - 1][0];
    float second = hitPos[nbAn - 1][1];
    if (type + 2 == hit) {
        first = angleP1;
        second = angleP2;
    }
    armSegment(first, 0.6, 0.6f);
    armSegment(second, 0.5, 0.5f);
    armSegment(0, 0.3, 0.25f);  // straight on from the second segment
}

// The robot's spot light, placed in the robot's frame so that it rides on
// the shoulders and shines along the robot's front.
void lumiere()
{
    GLfloat lightColor2[4] = {1, 1, 1, 1};
    GLfloat lightPos2[4] = {0, 0.02f, 0, 1};
    GLfloat value2[3] = {1, 0.02f, 0};

    glLightfv(GL_LIGHT2, GL_DIFFUSE, lightColor2);
    glLightfv(GL_LIGHT2, GL_POSITION, lightPos2);
    glLightf(GL_LIGHT2, GL_SPOT_CUTOFF, 20);
    glLightfv(GL_LIGHT2, GL_SPOT_DIRECTION, value2);
    glLightf(GL_LIGHT2, GL_SPOT_EXPONENT, 20);
    glLightf(GL_LIGHT2, GL_QUADRATIC_ATTENUATION, 0.05f);
}
