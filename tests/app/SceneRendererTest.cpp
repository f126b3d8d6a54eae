// The renderer of the views: Qt Quick's software renderer where there is no GPU, Qt's own choice
// elsewhere, the user's when named.
#include "App/SceneRenderer.h"

#include <gtest/gtest.h>

using namespace norvane;
using Choice = SceneRenderer::Choice;

TEST(SceneRenderer, SoftwareWithoutAGpuQtsChoiceWithOneAndTheUsersWhenNamed) {
    const struct {
        std::optional<bool> gpu;
        QByteArray quickBackend, rhiBackend, alwaysSoftware;
        Choice choice;
    } rows[] = {
        {false, {}, {}, {}, Choice::software},
        {true, {}, {}, {}, Choice::qtDefault},
        {true, {}, {}, "1", Choice::software},
        {true, {}, {}, "TRUE", Choice::software},
        {true, {}, {}, "0", Choice::qtDefault},
        {std::nullopt, {}, {}, "1", Choice::qtDefault}, // GPUs not found through DRM: macOS
        {false, "rhi", {}, {}, Choice::user},
        {true, "software", {}, {}, Choice::user},
        {false, {}, "opengl", {}, Choice::user},
    };
    for (const auto &row : rows) {
        const SceneRenderer::Machine machine{row.gpu, row.quickBackend, row.rhiBackend,
                                             row.alwaysSoftware};
        EXPECT_EQ(SceneRenderer::choose(machine), row.choice) << "row " << &row - rows;
    }
}
