// The angle convention, its round trip, and the single-precision pi.
#include <gtest/gtest.h>

#include <cmath>

#include "core/vecmath.h"

TEST(Vecmath, BackAndUpVectorsAtTelltaleAngles) {
    float up[3], back[3];
    float zero[3] = {0, 0, 0};
    vec_from_angles(zero, up, back);
    EXPECT_FLOAT_EQ(back[2], 1.0f);
    EXPECT_NEAR(back[0], 0, 1e-7);
    EXPECT_NEAR(back[1], 0, 1e-7);
    EXPECT_FLOAT_EQ(up[1], 1.0f);
    EXPECT_NEAR(up[2], 0, 1e-7);

    // 90 degrees with the short pi leaves a tiny z behind.
    float yaw90[3] = {0, 90, 0};
    vec_from_angles(yaw90, nullptr, back);
    EXPECT_FLOAT_EQ(back[0], 1.0f);
    EXPECT_NEAR(back[2], 7.55e-8, 0.01e-8);

    float pitch90[3] = {90, 0, 0};
    vec_from_angles(pitch90, up, back);
    EXPECT_FLOAT_EQ(back[1], -1.0f);
    EXPECT_FLOAT_EQ(up[2], 1.0f);

    // The roll plays no part; null outputs and angles are left alone.
    float rolled[3] = {0, 0, 45};
    vec_from_angles(rolled, up, nullptr);
    EXPECT_FLOAT_EQ(up[1], 1.0f);
    vec_from_angles(nullptr, up, back);
}

TEST(Vecmath, AnglesOfTelltaleVectors) {
    float out[3];
    float ahead[3] = {0, 0, -1};
    vec_to_angles(ahead, out);
    EXPECT_NEAR(out[0], 0, 2e-5); // 90 degrees over the short pi, less 90
    EXPECT_EQ(out[1], 0.0f);
    EXPECT_TRUE(std::signbit(out[1]));
    EXPECT_EQ(out[2], 1.0f);

    float right[3] = {1, 0, 0};
    vec_to_angles(right, out);
    EXPECT_NEAR(out[1], -90, 2e-5);
    EXPECT_NEAR(out[0], 0, 2e-5);

    float upward[3] = {0, 1, 0};
    vec_to_angles(upward, out);
    EXPECT_NEAR(out[0], 90, 2e-5);

    float behind[3] = {0, 0, 1};
    vec_to_angles(behind, out);
    EXPECT_EQ(out[1], -180.00002f); // exact pi over the short pi
    float behind_neg[3] = {-0.0f, 0, 1};
    vec_to_angles(behind_neg, out);
    EXPECT_EQ(out[1], 180.00002f);

    float zero[3] = {0, 0, 0};
    vec_to_angles(zero, out);
    EXPECT_EQ(out[2], 0.0f);
    vec_to_angles(nullptr, out);
    vec_to_angles(zero, nullptr);
}

TEST(Vecmath, BackVectorOfTheAnglesPointsBackAlongTheVector) {
    for (float x = -3; x <= 3; x += 1.5f)
        for (float y = -2; y <= 2; y += 1)
            for (float z = -3; z <= 3; z += 1.5f) {
                float v[3] = {x, y, z}, angles[3], back[3];
                float len = std::sqrt(x * x + y * y + z * z);
                if (len == 0)
                    continue;
                vec_to_angles(v, angles);
                EXPECT_NEAR(angles[2], len, 1e-5);
                vec_from_angles(angles, nullptr, back);
                for (int i = 0; i < 3; i++)
                    EXPECT_NEAR(back[i], -v[i] / len, 1e-6) << x << " " << y << " " << z;
            }
}

TEST(Vecmath, LengthsDistancesAndNormalize) {
    float v[3] = {3, 4, 12};
    EXPECT_EQ(vec_length(v), 13.0f);
    vec_normalize(v);
    EXPECT_FLOAT_EQ(v[2], 12.0f / 13.0f);
    vec_normalize(nullptr);
    float a[3] = {1, 2, 3}, b[3] = {4, 6, 3};
    EXPECT_EQ(vec_distance(a, b), 5.0f);
    EXPECT_EQ(vec_distance(b, a), 5.0f);
    EXPECT_EQ(vec_distance(a, a), 0.0f);
    EXPECT_EQ(VEC_PI, 3.1415925f);
    EXPECT_NE(VEC_PI, 3.1415927f);
}
