// The closed-form recogniser. Square-root forms p/q +- sqrt(a/b) are tried
// first, in table order, and the first hit wins; then products
// (P/Q) * pi^k * sqrt(a/b), optionally under exp or ln, are fitted by
// continued fractions and scored by complexity. Everything works on doubles;
// a fit counts only when it reproduces x itself within the relative
// tolerance, whatever space it was found in.
#include "core/ClosedForm.h"

#include "core/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <optional>
#include <vector>

namespace vemlor {

namespace detail {

namespace {

constexpr int LARGEST_TABLE_ENTRY = 13;

std::array<Fraction, FRACTION_TABLE_SIZE> buildFractionTable() {
    std::array<Fraction, FRACTION_TABLE_SIZE> table{};
    int k = 0;
    table[k++] = {0, 1};
    for (int m = 1; m <= LARGEST_TABLE_ENTRY; ++m) {
        for (int q = 1; q <= m; ++q)
            if (std::gcd(m, q) == 1) table[k++] = {m, q};
        for (int p = m - 1; p >= 1; --p)
            if (std::gcd(p, m) == 1) table[k++] = {p, m};
    }
    return table;
}

} // namespace

const std::array<Fraction, FRACTION_TABLE_SIZE>& fractionTable() {
    static const std::array<Fraction, FRACTION_TABLE_SIZE> table = buildFractionTable();
    return table;
}

} // namespace detail

namespace {

using detail::Fraction;

constexpr double INTEGER_TOLERANCE = 1e-12;
constexpr double SMALLEST_ROOT_FORM = 0.001;
constexpr double LARGEST_ROOT_FORM = 1000;
constexpr int MAX_TERMS = 20;
constexpr int MAX_CANDIDATES = 3;
constexpr double MAX_COMPLEXITY = 7.0;
constexpr double COMPLEXITY_MARGIN = 2.0;
constexpr int FALLBACK_PRECISION = 15;
constexpr int PI_POWERS[] = {0, 1, -1, 2, -2};

enum class Transform { None, Exp, Ln };

double relativeError(double candidate, double x) {
    return std::fabs(candidate - x) / std::fabs(x);
}

// Numbers 0 to 13 are the only ones a radicand can hold.
bool isSquare(int v) {
    return v == 0 || v == 1 || v == 4 || v == 9;
}
bool rationalRoot(Fraction f) {
    return isSquare(f.p) && isSquare(f.q);
}

double lg(double v) {
    return std::log10(std::max(1.0, std::fabs(v)));
}

std::string fractionText(long long p, long long q) {
    std::string text = std::to_string(p);
    if (q != 1) text += "/" + std::to_string(q);
    return text;
}

std::string rootText(Fraction radicand) {
    return std::string("sqrt") + (radicand.q == 1 ? " " : "") +
           fractionText(radicand.p, radicand.q);
}

// p/q + sqrt(a/b) below x, p/q - sqrt(a/b) above it, the first in table order.
std::optional<std::string> squareRootForm(double x, double tolerance) {
    if (std::fabs(x) < SMALLEST_ROOT_FORM || std::fabs(x) > LARGEST_ROOT_FORM) return std::nullopt;
    const auto& table = detail::fractionTable();
    for (Fraction radicand : table) {
        if (rationalRoot(radicand)) continue;
        double root = std::sqrt(double(radicand.p) / radicand.q);
        for (int sign : {1, -1}) {
            for (Fraction f : table) {
                double offset = sign * double(f.p) / f.q;
                bool below = offset <= x;
                double candidate = below ? offset + root : offset - root;
                if (relativeError(candidate, x) >= tolerance) continue;
                std::string text = f.p != 0 ? fractionText(sign * f.p, f.q) : "";
                if (!below || f.p != 0) text += below ? "+" : "-";
                return text + rootText(radicand);
            }
        }
    }
    return std::nullopt;
}

struct Shape {
    Transform transform;
    int piPower;
    Fraction radicand;

    double factor() const {
        return std::pow(std::numbers::pi, piPower) * std::sqrt(double(radicand.p) / radicand.q);
    }
    // x as this shape with the fraction `ratio`.
    double value(double ratio) const {
        double inner = ratio * factor();
        switch (transform) {
        case Transform::Exp:
            return std::exp(inner);
        case Transform::Ln:
            return std::log(inner);
        default:
            return inner;
        }
    }
};

struct Candidate {
    double complexity;
    std::string text;
};

// Earliest convergent P/Q of the continued fraction of z (sign in P) for
// which the shape reproduces x within the tolerance.
std::optional<std::pair<long long, long long>> fitFraction(double z, const Shape& shape, double x,
                                                           double tolerance) {
    double rest = std::fabs(z);
    long long sign = z < 0 ? -1 : 1;
    double h1 = 1, h2 = 0, k1 = 0, k2 = 1;
    for (int term = 0; term < MAX_TERMS; ++term) {
        double a = std::floor(rest);
        double h = a * h1 + h2;
        double k = a * k1 + k2;
        if (h > 1e15 || k > 1e15) return std::nullopt;
        if (h >= 1 && relativeError(shape.value(sign * h / k), x) < tolerance)
            return std::pair{sign * (long long)h, (long long)k};
        double fraction = rest - a;
        if (fraction < 1e-15) return std::nullopt;
        rest = 1 / fraction;
        h2 = h1, h1 = h, k2 = k1, k1 = k;
    }
    return std::nullopt;
}

double complexityOf(long long p, long long q, const Shape& shape) {
    double c = lg(double(p)) + lg(double(q)) + lg(shape.radicand.p) + lg(shape.radicand.q) +
               lg(1 + std::abs(shape.piPower));
    if (shape.transform != Transform::None) c += std::log10(2.0);
    return c;
}

std::string formText(long long p, long long q, const Shape& shape) {
    std::string fraction = fractionText(p, q);
    std::string text = fraction;
    if (shape.piPower != 0) {
        int power = std::abs(shape.piPower);
        std::string pi = "pi" + (power > 1 ? "^" + std::to_string(power) : std::string());
        if (shape.piPower < 0)
            text = "(" + fraction + "/" + pi + ")";
        else if (fraction == "1")
            text = pi;
        else if (fraction == "-1")
            text = "-" + pi;
        else
            text = "(" + fraction + " " + pi + ")";
    }
    if (shape.radicand.p != 1 || shape.radicand.q != 1) {
        std::string root = rootText(shape.radicand);
        if (text == "1")
            text = root;
        else if (text == "-1")
            text = "-" + root;
        else
            text += " " + root;
    }
    if (shape.transform == Transform::Exp) return "exp[" + text + "]";
    if (shape.transform == Transform::Ln) return "ln[" + text + "]";
    return text;
}

// The value the shape's fraction must approximate: x with the transform
// undone and divided by pi^k sqrt(a/b); NaN when the transform does not apply.
double transformed(double x, const Shape& shape) {
    double y = x;
    if (shape.transform == Transform::Exp) y = x > 0 ? std::log(x) : NAN;
    if (shape.transform == Transform::Ln) y = std::exp(x);
    return y / shape.factor();
}

void collectGeneralForms(double x, double tolerance, std::vector<Candidate>& found) {
    std::vector<Fraction> radicands{{1, 1}};
    for (Fraction f : detail::fractionTable())
        if (!rationalRoot(f)) radicands.push_back(f);
    for (Transform transform : {Transform::None, Transform::Exp, Transform::Ln}) {
        for (int piPower : PI_POWERS) {
            for (Fraction radicand : radicands) {
                Shape shape{transform, piPower, radicand};
                double z = transformed(x, shape);
                if (!std::isfinite(z) || z == 0) continue;
                auto fit = fitFraction(z, shape, x, tolerance);
                if (!fit) continue;
                auto [p, q] = *fit;
                double error = relativeError(shape.value(double(p) / double(q)), x);
                double complexity = complexityOf(p, q, shape);
                double allowed = error > 0 ? -std::log10(error) - COMPLEXITY_MARGIN : INFINITY;
                if (complexity >= MAX_COMPLEXITY || complexity >= allowed) continue;
                found.push_back({complexity, formText(p, q, shape)});
                if (int(found.size()) == MAX_CANDIDATES) return;
            }
        }
    }
}

} // namespace

std::string closedForm(double x, double tolerance) {
    if (!std::isfinite(x) || std::fabs(x - std::nearbyint(x)) <= INTEGER_TOLERANCE * std::fabs(x))
        return formatDouble(x, FALLBACK_PRECISION);
    if (auto root = squareRootForm(x, tolerance)) return *root;
    std::vector<Candidate> found;
    collectGeneralForms(x, tolerance, found);
    if (found.empty()) return formatDouble(x, FALLBACK_PRECISION);
    const Candidate* best = &found.front();
    for (const Candidate& c : found)
        if (c.complexity < best->complexity) best = &c;
    return best->text;
}

} // namespace vemlor
