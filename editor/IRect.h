// The editor's integer rectangle with the union and intersection rules that redraws rely on.
#pragma once

// Right and bottom are exclusive. Only the all-zero rectangle is empty, whatever the size of others.
struct IRect {
  int L = 0;
  int T = 0;
  int R = 0;
  int B = 0;

  IRect() = default;
  IRect(int l, int t, int r, int b) : L(l), T(t), R(r), B(b) {}

  bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
  int W() const { return R - L; }
  int H() const { return B - T; }
  bool operator==(const IRect& o) const { return L == o.L && T == o.T && R == o.R && B == o.B; }
  bool operator!=(const IRect& o) const { return !(*this == o); }

  IRect Union(const IRect* o) const {
    if (Empty()) return *o;
    if (o->Empty()) return *this;
    return IRect(L < o->L ? L : o->L, T < o->T ? T : o->T, R > o->R ? R : o->R, B > o->B ? B : o->B);
  }

  // Touching edges on the right and bottom count as intersecting, so the test is not symmetric.
  bool Intersects(const IRect* o) const {
    if (Empty() || o->Empty()) return false;
    return R >= o->L && L < o->R && B >= o->T && T < o->B;
  }

  IRect Intersect(const IRect* o) const {
    if (!Intersects(o)) return IRect();
    return IRect(L > o->L ? L : o->L, T > o->T ? T : o->T, R < o->R ? R : o->R, B < o->B ? B : o->B);
  }

  bool Contains(int x, int y) const { return L <= x && x < R && T <= y && y < B; }
};
