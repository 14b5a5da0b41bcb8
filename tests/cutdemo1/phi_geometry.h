// The geometry of the φ-stepped rack edition worked out on its own, for the tests to compare
// with: where the rack's pitch line touches the pitch circle, where the reference point and the
// flank contact lie, and the rack's tooth corners at φ = 0.
#pragma once

#include <cmath>

namespace geometry {

constexpr double pi = 3.14159265358979;
constexpr double alpha = pi / 9;  // pressure angle
constexpr double hf = 1.25;       // rack tooth depth below the pitch line

struct Pt {
    double x, y;
};

inline Pt add(Pt a, double s, Pt d) { return {a.x + s * d.x, a.y + s * d.y}; }
inline double dot(Pt a, Pt b) { return a.x * b.x + a.y * b.y; }
inline Pt sub(Pt a, Pt b) { return {a.x - b.x, a.y - b.y}; }

// Where the rack's pitch line touches the pitch circle of radius rp at roll t (centre (0, -rp)).
inline Pt contact(double rp, double t) { return {rp * std::sin(t), rp * std::cos(t) - rp}; }
// The rack's pitch line turns with the rack, by -t.
inline Pt pitchDirection(double t) { return {std::cos(t), -std::sin(t)}; }
// Pure rolling: the reference point lies rp·t behind the contact along the pitch line.
inline Pt reference(double rp, double t) { return add(contact(rp, t), -rp * t, pitchDirection(t)); }
// The generating flank through the reference point, pointing away from the gear.
inline Pt flankDirection(double t) { return {std::sin(alpha + t), std::cos(alpha + t)}; }
// The flank touches the generated tooth at the foot of the perpendicular from the contact.
inline Pt flankContact(double rp, double t)
{
    const Pt p = reference(rp, t), d = flankDirection(t);
    return add(p, dot(sub(contact(rp, t), p), d), d);
}
// The corner between the flank and the rack's tip line, hf below the pitch line.
inline Pt tipCorner(double rp, double t) { return add(reference(rp, t), -hf / std::cos(alpha), flankDirection(t)); }
// The angle φ at which the tip corner cuts deepest.
inline double phi0(double rp) { return std::atan2(hf * std::tan(alpha), rp); }
inline double fromCentre(double rp, Pt p) { return std::hypot(p.x, p.y + rp); }

// The corners of rack tooth I at φ = 0, when the rack's pitch line lies on the x axis: the
// flanks lean by α, the rack's root line is 1 above, its tip line 1.25 below.
struct ToothCorners {
    Pt R2, R1, r1, r2, r3;
};
inline ToothCorners cornersAtPhiZero(int I)
{
    const double x = I * pi, ta = std::tan(alpha);
    return {{x + pi / 2 - ta, 1}, {x + ta, 1}, {x - hf * ta, -hf}, {x - pi / 2 + hf * ta, -hf}, {x - pi / 2 - ta, 1}};
}

}  // namespace geometry
