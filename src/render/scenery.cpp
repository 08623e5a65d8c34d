// scenery.cpp -- the ground and the fir trees. Both draw in immediate mode
// relative to the current matrix and leave it as they found it.

#include "game.h"

// The ground: 54 by 54 unit squares at height -2, in rows of equal Z from
// -27 to 26, each row from X -27 to 26, each square facing up.
void terrain()
{
    glPushMatrix();
    glColor3f(0.2f, 1.0f, 0.2f);
    // Without a normal of its own the ground would be lit with whatever
    // normal the last tree trunk left behind.
    glNormal3f(0, 1, 0);
    glTranslatef(0.0, -2.0, 0.0);
    for (int j = -FIELD; j < FIELD; j++) {
        for (int i = -FIELD; i < FIELD; i++) {
            glPushMatrix();
            glTranslatef(i, 0.0, j);
            glBegin(GL_QUADS);
            glVertex3f(-0.5, 0, -0.5);
            glVertex3f(-0.5, 0, 0.5);
            glVertex3f(0.5, 0, 0.5);
            glVertex3f(0.5, 0, -0.5);
            glEnd();
            glPopMatrix();
        }
    }
    glPopMatrix();
}

// One fir tree at the base point (Sx, Sy, Sz): four stacked cones, top tier
// first, over a brown trunk, all lowered by the sink level `destroy`
// (10 standing: the tip 3.5 above the base; at 4.5 the tip meets the ground).
// The crown's green is (0, color, 0). The materials are left set.
// Each cone and the trunk is cut into treeStacks stacks along its axis.
void sapin(int Sx, int Sy, int Sz, float color, float destroy)
{
    GLfloat no_mat[] = {0.0f, 0.0f, 0.0f, 1.0f};
    GLfloat mat_diffuse[] = {0.1f, 0.5f, 0.8f, 1.0f};
    GLfloat no_shininess[] = {0.0f};

    glPushMatrix();
    glMaterialfv(GL_FRONT, GL_AMBIENT, no_mat);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, mat_diffuse);
    glMaterialfv(GL_FRONT, GL_SPECULAR, no_mat);
    glMaterialfv(GL_FRONT, GL_SHININESS, no_shininess);

    glTranslated(Sx, Sy, Sz);
    glTranslated(0.0, 1.8, 0.0);
    glColor3f(0.0f, color, 0.0f);
    glRotatef(90.0f, -1.0f, 0.0f, 0.0f);  // local +Z, the cones' axis, is up
    glTranslated(0.0, 0.0, (double)destroy - 9.8);
    glutSolidCone(1.0, 1.5, 10, treeStacks);
    glTranslated(0.0, 0.0, -0.9);
    glutSolidCone(1.3, 2.0, 10, treeStacks);
    glTranslated(0.0, 0.0, -1.0);
    glutSolidCone(1.6, 2.5, 10, treeStacks);
    glTranslated(0.0, 0.0, -1.1);
    glutSolidCone(1.9, 3.0, 10, treeStacks);

    glColor3f(0.8f, 0.4f, 0.0f);
    glTranslatef(0.0f, 0.0f, -1.1f);
    gluCylinder(Csapin2, 0.5, 0.5, 2.0, 10, treeStacks);
    glPopMatrix();
}
