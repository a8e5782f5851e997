// The chase camera: eye, centre and up handed to the look-at, its smoothing
// over the last raw eye, the shake and its decay, and the aspect ratio.
#include "render_support.h"

#include "core/game.h"
#include "core/objects.h"
#include "core/startup.h"
#include "render/render.h"
#include "render/render_local.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>

namespace {

struct View {
    double eye[3], centre[3], up[3];
    double aspect = 800.0 / 600.0;
};

// The matrix a camera with exactly these values would load.
std::array<double, 16> expected_matrix(const View &v) {
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(40.0, v.aspect, 1.0, 5000.0);
    gluLookAt(v.eye[0], v.eye[1], v.eye[2], v.centre[0], v.centre[1], v.centre[2], v.up[0], v.up[1],
              v.up[2]);
    std::array<double, 16> m;
    glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
    glPopMatrix();
    return m;
}

std::array<double, 16> camera_matrix() {
    camera_load();
    std::array<double, 16> m;
    glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

void expect_near(const std::array<double, 16> &a, const std::array<double, 16> &b,
                 double tol = 1e-4) {
    for (int i = 0; i < 16; i++)
        EXPECT_NEAR(a[i], b[i], tol) << "element " << i;
}

class CameraTest : public GlTest {};

TEST_F(CameraTest, RestingPlayerSettlesBehindAndAbove) {
    g_player.pos[0] = 3;
    g_player.pos[1] = 4;
    g_player.pos[2] = -500; // z is drawn relative to the player
    // First frame after start: the smoothed eye is half of the raw eye.
    expect_near(camera_matrix(), expected_matrix({{1.5, 2.65, 3.5}, {1.5, 2.65, 2.5}, {0, 1, 0}}));
    EXPECT_FLOAT_EQ(g_cam_prev_eye[0], 3);
    EXPECT_FLOAT_EQ(g_cam_prev_eye[1], 5.3f);
    EXPECT_FLOAT_EQ(g_cam_prev_eye[2], 7);
    // Second frame: settled.
    expect_near(camera_matrix(), expected_matrix({{3, 5.3, 7}, {3, 5.3, 6}, {0, 1, 0}}));
}

TEST_F(CameraTest, FollowsHalfTheYawAndAllTheRoll) {
    g_player.angles[1] = 90;
    camera_load();
    const double c = std::sqrt(0.5);
    expect_near(camera_matrix(),
                expected_matrix({{7 * c, 1.3, 7 * c}, {6 * c, 1.3, 6 * c}, {0, 1, 0}}), 2e-4);

    world_clear();
    g_player.angles[2] = 90;
    camera_load();
    expect_near(camera_matrix(), expected_matrix({{0, 1.3, 7}, {0, 1.3, 6}, {-1, 0, 0}}));
    g_player.angles[2] = -90;
    expect_near(camera_matrix(), expected_matrix({{0, 1.3, 7}, {0, 1.3, 6}, {1, 0, 0}}));
}

TEST_F(CameraTest, ShakeOnlyPushesTheEyeOutwardAndDecays) {
    camera_load(); // settle
    g_cam_shake = 0.02f;
    const auto r = rand_sequence(77, 3);
    const double dz = r[0] * 0.02, dy = r[1] * 0.02, dx = r[2] * 0.02;
    // The centre stays where the unshaken eye would put it.
    expect_near(camera_matrix(), expected_matrix({{dx, 1.3 + dy, 7 + dz}, {0, 1.3, 6}, {0, 1, 0}}),
                1e-5);
    EXPECT_FLOAT_EQ(g_cam_shake, 0.02f - 0.00025f);

    g_cam_shake = 5;
    camera_load();
    EXPECT_EQ(g_cam_shake, 1);
    g_cam_shake = 0.0001f;
    camera_load();
    EXPECT_EQ(g_cam_shake, 0);
}

TEST_F(CameraTest, AspectFollowsTheWindow) {
    camera_load();
    g_screen_w = 600;
    g_screen_h = 800;
    View v{{0, 1.3, 7}, {0, 1.3, 6}, {0, 1, 0}, 0.75};
    const auto m = camera_matrix();
    g_screen_w = 800;
    g_screen_h = 600;
    expect_near(m, expected_matrix(v));
}

} // namespace
