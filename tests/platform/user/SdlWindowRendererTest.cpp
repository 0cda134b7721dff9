#include "platform/user/sdl/SdlWindowRenderer.h"

#include <gtest/gtest.h>

namespace {

// Renderer strings as Mesa and the GPU drivers report them.
TEST(SdlWindowRenderer, TellsTheCpuRasterisersFromGpus)
{
    for (const char* cpu :
         {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Software Rasterizer", "Mesa X11 swrast"})
        EXPECT_TRUE(platform::IsSoftwareRasteriser(cpu)) << cpu;
    for (const char* gpu : {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)",
                            "AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0)",
                            "NVIDIA GeForce GTX 1660/PCIe/SSE2", "virgl (Intel(R) Iris(R) Xe Graphics)", ""})
        EXPECT_FALSE(platform::IsSoftwareRasteriser(gpu)) << gpu;
}

} // namespace
