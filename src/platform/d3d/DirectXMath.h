#pragma once
// The few DirectXMath types and matrix helpers the sprite code uses. Matrices follow DirectXMath:
// row vectors multiplied on the left (v' = v x M), translation in the fourth row.

namespace DirectX {

struct XMFLOAT2
{
    float x;
    float y;
};

struct XMFLOAT4
{
    float x;
    float y;
    float z;
    float w;
};

// A colour or position of four floats (what the real library keeps in a SIMD register).
using XMVECTOR = XMFLOAT4;

struct XMMATRIX
{
    float m[4][4];
};

constexpr XMMATRIX XMMatrixIdentity()
{
    return XMMATRIX{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
}

constexpr XMMATRIX XMMatrixScaling(float x, float y, float z)
{
    return XMMATRIX{{{x, 0, 0, 0}, {0, y, 0, 0}, {0, 0, z, 0}, {0, 0, 0, 1}}};
}

constexpr XMMATRIX XMMatrixTranslation(float x, float y, float z)
{
    return XMMATRIX{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {x, y, z, 1}}};
}

constexpr XMMATRIX XMMatrixMultiply(const XMMATRIX& a, const XMMATRIX& b)
{
    XMMATRIX r{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            float sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a.m[i][k] * b.m[k][j];
            r.m[i][j] = sum;
        }
    }
    return r;
}

constexpr XMMATRIX operator*(const XMMATRIX& a, const XMMATRIX& b)
{
    return XMMatrixMultiply(a, b);
}

} // namespace DirectX
