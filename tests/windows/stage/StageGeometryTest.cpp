#include "windows/stage/Lighting.h"
#include "windows/stage/Stage.h"
#include "windows/stage/StageCamera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace helm;

namespace {

constexpr double pi = std::numbers::pi;

void expectNear(const V3& want, const V3& got, double tol, const char* what) {
    EXPECT_NEAR(want.x, got.x, tol) << what;
    EXPECT_NEAR(want.y, got.y, tol) << what;
    EXPECT_NEAR(want.z, got.z, tol) << what;
}

} // namespace

TEST(StageCamera, ProjectsTheDeskWhereTheStageEyeSeesIt) {
    const StageCamera cam;
    const QSizeF size(900, 560);
    struct Case {
        V3 world;
        QPointF want;
    } cases[] = {{{0, 5, -15}, {450, 280}}, {{0, 0, 0}, {450, 315.3}}, {V3::seat, {450, 465.4}}};
    for (const Case& c : cases) {
        QPointF got = StageCamera::project(cam.toView(c.world), size);
        EXPECT_NEAR(c.want.x(), got.x(), 0.05) << c.world.z;
        EXPECT_NEAR(c.want.y(), got.y(), 0.05) << c.world.z;
    }
    // A camera looking straight down still has a picture: its up is the far side of the desk.
    StageCamera down({0, 100, 0}, {0, 0, 0});
    QPointF far = StageCamera::project(down.toView({0, 0, -10}), size);
    EXPECT_LT(far.y(), 280);
}

TEST(StageCamera, PlaneTransformAgreesWithProjection) {
    // Text and the floor go through the plane's transform, everything else through project.
    const QSizeF size(900, 560);
    for (const StageCamera& cam : {StageCamera(), StageCamera({80, 20, 40}, {0, 5, -15})}) {
        V3 o{-20, 3, -10}, u{0.8, 0, -0.6}, v{0, -1, 0};
        for (QPointF ab : {QPointF(0, 0), QPointF(30, 0), QPointF(12, 7), QPointF(40, 25)}) {
            QPointF want = StageCamera::project(cam.toView(o + u * ab.x() + v * ab.y()), size);
            QPointF got = cam.planeTransform(o, u, v, size).map(ab);
            EXPECT_NEAR(want.x(), got.x(), 1e-6);
            EXPECT_NEAR(want.y(), got.y(), 1e-6);
        }
    }
}

TEST(StageCamera, ClipKeepsOnlyWhatLiesBetweenNearAndFar) {
    struct Case {
        std::vector<V3> in;
        size_t points;
    } cases[] = {
        {{{0, 0, 5}, {1, 0, 5}, {0, 1, 5}}, 3},        // wholly inside
        {{{0, 0, -5}, {1, 0, -5}, {0, 1, -5}}, 0},     // behind the eye
        {{{0, 0, -5}, {1, 0, 5}, {0, 1, 5}}, 4},       // through the near plane
        {{{0, 0, 500}, {1, 0, 1500}, {0, 1, 500}}, 4}, // through the far plane
        {{{0, 0, 5}, {NAN, 0, 5}, {0, 1, 5}}, 0},      // not a place
    };
    for (const Case& c : cases) {
        std::vector<V3> out = StageCamera::clip(c.in);
        EXPECT_EQ(c.points, out.size()) << c.in[0].z << " " << c.in[1].z;
        for (const V3& p : out) {
            EXPECT_GE(p.z, StageCamera::zNear - 1e-9);
            EXPECT_LE(p.z, StageCamera::zFar + 1e-9);
        }
    }
}

TEST(Lighting, KeyAndFillShineWhereTheirAnglesPoint) {
    expectNear({-0.200, -0.813, -0.546}, Lighting::direction(-0.95, 0.35), 1e-3, "key");
    expectNear({0, -0.296, 0.955}, Lighting::direction(-0.3, pi), 1e-3, "fill");
    const Lighting& l = Lighting::stage();
    // A face turned away from both lights gets the ambient alone; a face towards the key more.
    QColor away = l.shade(Qt::white, {0, -1, 0});
    EXPECT_NEAR(0.38 * 0.75, away.redF(), 0.002);
    EXPECT_NEAR(0.38 * 0.95, away.blueF(), 0.002);
    EXPECT_GT(l.shade(Qt::white, {0.2, 0.813, 0.546}).redF(), 0.38 * 0.75 + 0.6);
    // Emission adds by its alpha; the face's alpha is the diffuse alpha times the opacity.
    QColor lit =
        l.shade(QColor::fromRgbF(0, 0, 0, 0.5f), {0, -1, 0}, QColor::fromRgbF(0, 1, 0, 0.5f), 0.55);
    EXPECT_NEAR(0.5, lit.greenF(), 0.002);
    EXPECT_NEAR(0.275, lit.alphaF(), 0.003);
}

TEST(Stage, SlabTurnLaysItsWidthAlongTheScreenAxis) {
    struct Case {
        V3 u;
        double turn;
    } cases[] = {{{1, 0, 0}, 0},
                 {{0, 0, 1}, -pi / 2},
                 {{0, 0, -1}, pi / 2},
                 {{std::cos(0.5), 0, std::sin(0.5)}, -0.5},
                 {{-1, 0, 0}, -pi}};
    for (const Case& c : cases) {
        double t = Stage::turnFor(c.u);
        EXPECT_NEAR(c.turn, t, 1e-9);
        expectNear(c.u, {std::cos(t), 0, -std::sin(t)}, 1e-9, "x axis");
    }
}

TEST(Stage, GridImageLinesFadeFromTheMiddle) {
    QImage g = Stage::gridImage();
    ASSERT_EQ(QSize(880, 480), g.size());
    const double bg = 0.06; // green of the floor
    auto green = [&](int x, int row) { return QColor(g.pixel(x, row)).greenF(); };
    auto over = [&](double a) { return bg + (1 - bg) * a; };
    struct Case {
        int x, row;
        double want;
        const char* what;
    } cases[] = {
        {440, 100, over(0.12), "centre column"},  {0, 100, over(0.05), "left edge column"},
        {879, 100, bg, "past 880: no line"},      {20, 239, over(0.12), "middle row, y 240"},
        {20, 479, over(0.05), "bottom row, y 0"}, {20, 0, bg, "top row, y 480 falls outside"},
        {20, 100, bg, "between lines"},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(c.want, green(c.x, c.row), 1.5 / 255) << c.what;
    }
}
