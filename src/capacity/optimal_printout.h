#pragma once
// The optimisation's printout ("Drukuj"): one portrait page in "Arial
// Narrow" 10 pt laid out in lines of 1.2 x the height of "M" from margins of
// an eighth of the page: the caption, both grids side by side (their first
// row bold, the second and the best candidate's underlined), the quantities,
// the five rates and the chart picture stretched into the lower part. When
// hourly flows were loaded, a second page shows the load-duration curve's
// picture with the hours above the chosen and the optimal capacity beneath
// it. The window gives the texts as it shows them and the pictures as files;
// drawing goes through the printing surface. Standard library only.
#include "capacity/optimisation.h"
#include "support/print_surface.h"

#include <array>
#include <string>
#include <vector>

namespace kiv {

inline constexpr const char *kOptimalDocumentTitle = "Kiv - Optymalizacja";
inline constexpr const char *kDurationTitle = "Krzywa uporządkowana przepływów godzinowych";

using TGridRow = std::array<std::string, 2>;

struct TOptimalPage {
    std::string caption;
    std::vector<TGridRow> inputRows;  // the two header rows, then one per month
    std::vector<TGridRow> resultRows; // the two header rows, then the shown candidates
    int bestRow = -1;                 // the best candidate's row of resultRows
    std::string winter;
    std::string summer;
    TRateTexts rates;
    std::string chartPicture;
    std::string durationPicture;            // empty: no second page
    std::vector<std::string> durationLines; // printed under the curve
};

// Where the chart picture goes on the page, in page units, so that the
// picture can be made in the same proportions.
struct TPictureBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
[[nodiscard]] TPictureBox ChartBox(IPrintSurface &surface);

void DrawOptimalPages(IPrintSurface &surface, const TOptimalPage &page);

// Under the curve: how many hours had a flow, and how many lay above each capacity.
[[nodiscard]] std::vector<std::string> DurationLines(const std::vector<double> &flows, long long chosen,
                                                     long long optimal);

} // namespace kiv
