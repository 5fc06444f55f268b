// The gallery's pages: each builds a widget that shows one feature group.
#pragma once

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace kurvo::gallery {

struct TPage {
    std::string Name;     // also the picture's file name
    std::string Caption;  // one line under the thumbnail
    std::function<QWidget*()> Build;
};

// Points of the long-series page (10 million on the screen; the pictures use fewer).
void SetLongSeriesPoints(long long count);

std::vector<TPage> Pages();

// The page of the themes (themes_page.cpp).
QWidget* ThemesPage();

}  // namespace kurvo::gallery
