// Drawing commands given an integer type other than int. Each call marked
// "stops" must stop the build with its one message, on its own line; the
// unmarked calls must compile. check.cmake compiles this file and compares.
#include <kurvo/kurvo.h>

#include <cstddef>
#include <cstdint>
#include <vector>

void Draw(kurvo::TKurvo& chart, const std::vector<double>& values)
{
    const std::size_t n = values.size();
    const long count = 3;
    const unsigned u = 2;
    const short s = 1;
    const std::int64_t big = 4;

    chart.MoveTo(0.0, 0.0);
    chart.DrawTo(1, 2.5);
    chart.Line(0.0, 0.0, 10, 10);
    chart.Box(1.0, 2.0, 3, 4);

    chart.MoveTo(n, values[0]);                // stops: use double for a world value or int for a pixel
    chart.DrawTo(count, 1.0);                  // stops: use double for a world value or int for a pixel
    chart.MarkAt(u, u, 1);                     // stops: use double for a world value or int for a pixel
    chart.Line(0.0, 0.0, n, 1.0);              // stops: use double for a world value or int for a pixel
    chart.Rectangle(s, s, 1, 1);               // stops: use double for a world value or int for a pixel
    chart.Text(1.0f, big, "label");            // stops: use double for a world value or int for a pixel
    chart.Arrow(1.0, 1.0, count, 2.0);         // stops: use double for a world value or int for a pixel
    chart.VertLine(n);                         // stops: use double for a world value or int for a pixel
    chart.Cross(1.0, 1.0, u, 2.0);             // stops: use double for a world value or int for a pixel
    chart.Box(1.0, 2.0, count, 4);             // stops: a pixel argument takes an int
    chart.MoveRel(n, 0);                       // stops: a pixel argument takes an int
}
