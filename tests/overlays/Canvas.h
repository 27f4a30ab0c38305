#pragma once

#include <QImage>

#include <gtest/gtest.h>

#include <string>

namespace helm::test {

// The Qt application the drawing needs (fonts, widgets), made once.
void needApplication();

// A transparent ARGB32 premultiplied image.
QImage canvas(int w, int h);

// The largest difference of any channel of any pixel between two images of one size.
int maxDifference(const QImage& a, const QImage& b);

// Compares the image with tests/data/overlays/NAME.png: every pixel within 2/255 per channel
// (the fonts are built in and drawn unhinted, so text comes out the same on every machine). A
// failure writes NAME.actual.png and NAME.diff.png into the build tree; HELM_UPDATE_GOLDEN=1
// rewrites the golden instead.
::testing::AssertionResult matchesGolden(const QImage& image, const std::string& name);

} // namespace helm::test
