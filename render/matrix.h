#pragma once
// 4 x 4 single-precision matrices in the row-vector convention the device uses: a point is a row
// multiplied by the matrix, translation in the fourth row.

struct Matrix4 {
    float m[4][4];
};

inline constexpr Matrix4 kIdentityMatrix = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};

// a x b: a point goes through a first, then through b.
Matrix4 MatrixMultiply(const Matrix4& a, const Matrix4& b);
Matrix4 MatrixTranslation(float x, float y, float z);
Matrix4 MatrixScaling(float x, float y, float z);
Matrix4 MatrixRotationX(float angle);
Matrix4 MatrixRotationY(float angle);
Matrix4 MatrixRotationZ(float angle);
// Roll about Z, then pitch about X, then yaw about Y.
Matrix4 MatrixYawPitchRoll(float yaw, float pitch, float roll);
// Left-handed camera matrices.
Matrix4 MatrixLookAtLH(const float eye[3], const float at[3], const float up[3]);
Matrix4 MatrixOrthoLH(float width, float height, float zNear, float zFar);
