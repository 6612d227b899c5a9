#include "render/matrix.h"

#include <cmath>

Matrix4 MatrixMultiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 r{};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            float sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a.m[row][k] * b.m[k][column];
            r.m[row][column] = sum;
        }
    }
    return r;
}

Matrix4 MatrixTranslation(float x, float y, float z) {
    Matrix4 r = kIdentityMatrix;
    r.m[3][0] = x;
    r.m[3][1] = y;
    r.m[3][2] = z;
    return r;
}

Matrix4 MatrixScaling(float x, float y, float z) {
    Matrix4 r = kIdentityMatrix;
    r.m[0][0] = x;
    r.m[1][1] = y;
    r.m[2][2] = z;
    return r;
}

Matrix4 MatrixRotationX(float angle) {
    const float s = std::sin(angle), c = std::cos(angle);
    Matrix4 r = kIdentityMatrix;
    r.m[1][1] = c;
    r.m[1][2] = s;
    r.m[2][1] = -s;
    r.m[2][2] = c;
    return r;
}

Matrix4 MatrixRotationY(float angle) {
    const float s = std::sin(angle), c = std::cos(angle);
    Matrix4 r = kIdentityMatrix;
    r.m[0][0] = c;
    r.m[0][2] = -s;
    r.m[2][0] = s;
    r.m[2][2] = c;
    return r;
}

Matrix4 MatrixRotationZ(float angle) {
    const float s = std::sin(angle), c = std::cos(angle);
    Matrix4 r = kIdentityMatrix;
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    return r;
}

Matrix4 MatrixYawPitchRoll(float yaw, float pitch, float roll) {
    return MatrixMultiply(MatrixMultiply(MatrixRotationZ(roll), MatrixRotationX(pitch)), MatrixRotationY(yaw));
}

namespace {

void Normalize(float v[3]) {
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0) return;
    for (int i = 0; i < 3; ++i)
        v[i] /= length;
}

void Cross(const float a[3], const float b[3], float r[3]) {
    r[0] = a[1] * b[2] - a[2] * b[1];
    r[1] = a[2] * b[0] - a[0] * b[2];
    r[2] = a[0] * b[1] - a[1] * b[0];
}

float Dot(const float a[3], const float b[3]) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

}  // namespace

Matrix4 MatrixLookAtLH(const float eye[3], const float at[3], const float up[3]) {
    float z[3] = {at[0] - eye[0], at[1] - eye[1], at[2] - eye[2]};
    Normalize(z);
    float x[3];
    Cross(up, z, x);
    Normalize(x);
    float y[3];
    Cross(z, x, y);
    return {{{x[0], y[0], z[0], 0},
             {x[1], y[1], z[1], 0},
             {x[2], y[2], z[2], 0},
             {-Dot(x, eye), -Dot(y, eye), -Dot(z, eye), 1}}};
}

Matrix4 MatrixOrthoLH(float width, float height, float zNear, float zFar) {
    return {{{2 / width, 0, 0, 0},
             {0, 2 / height, 0, 0},
             {0, 0, 1 / (zFar - zNear), 0},
             {0, 0, zNear / (zNear - zFar), 1}}};
}
