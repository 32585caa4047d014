// The benchmark's clock, and the ratios it prints.
#pragma once

#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <vector>

inline double NowMs() {
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * (double)now.QuadPart / (double)frequency.QuadPart;
}

// A ratio is taken in turns: each turn times the figure and then its
// baseline, so that both see the same load on the machine, and the ratio is
// the median of the turns' ratios. One turn alone can be off by a factor of
// several on a shared machine.
const int kRatioTurns = 7;

struct RatioTurns {
    std::vector<double> figures;
    std::vector<double> baselines;
    std::vector<double> ratios;
};

// A turn whose figures are unknown (0 or below) gives no ratio.
inline void AddTurn(RatioTurns* turns, double figure, double baseline) {
    turns->figures.push_back(figure);
    turns->baselines.push_back(baseline);
    if (figure > 0 && baseline > 0) turns->ratios.push_back(figure / baseline);
}

inline double Median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The spread of the turns: the largest ratio less the smallest.
inline double Spread(const std::vector<double>& values) {
    if (values.empty()) return -1;
    auto range = std::minmax_element(values.begin(), values.end());
    return *range.second - *range.first;
}

inline void PrintMedianRatio(const char* name, const RatioTurns& turns) {
    if (turns.ratios.empty()) return;
    printf("%s: %.4f\n", name, Median(turns.ratios));
    printf("%s_spread: %.4f\n", name, Spread(turns.ratios));
}
