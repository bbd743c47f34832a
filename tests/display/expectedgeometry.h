#pragma once

// The grid's pixel geometry written out formula by formula, independent of the display
// library, so tests can say where a pixel must be.
struct ExpectedGeometry {
  int width, height, rows, cols;
  bool preview;

  static int T(double v) { return static_cast<int>(v); }
  double W() const { return width > 1 ? width - 1.0 : 1.0 - width; }
  double H() const { return height > 1 ? height - 1.0 : 1.0 - height; }
  double CW() const { return W() / cols; }
  double CH() const { return H() / rows; }
  double SW() const { return CW() / 32; }
  double X0(int c) const { return c * CW(); }
  double Y0(int r) const { return r * CH(); }
  double BH() const { return 0.95 * CH() - 0.125 * CH() - 6; }
  double Ext() const { return T(CH()) * 0.125; }
  int Extended(int y) const { return preview ? T(y + Ext()) : y; }
  double Level(double v, double viewMin, double viewMax) const {
    const double k = BH() / (viewMax - viewMin);
    double level = BH() - k * (v - viewMin);
    if (!(level > 0)) level = 0;
    if (level > BH()) level = BH();
    return level;
  }
  int ColL(int c, int k) const { return T(X0(c) + k * SW() + 3); }
  int ColR(int c, int k) const { return T(X0(c) + (k + 1) * SW() - 2); }
  int Top0(int r) const { return T(Y0(r) + 3); }
  int BarBottom(int r) const { return Extended(T(Top0(r) + BH())); }
  int BarL(int c, int k) const { return T(X0(c) + k * SW() + SW() / 4); }
  int BarR(int c, int k) const { return T(X0(c) + (k + 1) * SW() - SW() / 4 + 1); }
  int LabelL(int c) const { return T(X0(c) + 2); }
  int LabelT(int r) const { return T(Y0(r) + T(0.875 * CH())); }
  int LabelR(int c) const { return T(X0(c) + CW() - 1); }
  int LabelB(int r) const { return T(Y0(r) + CH() - 1); }
  double StripT(int r) const { return T(0.95 * CH()) + Y0(r) - 0.125 * CH(); }
  double StripB(int r) const { return Y0(r) + CH() - 1 - 0.125 * CH(); }
  int StripCellT(int r) const { return Extended(T(StripT(r) + 2)); }
  int StripCellB(int r) const { return Extended(T(StripB(r) - 2)); }
  int FrameL(int c, int k) const { return T(X0(c) + k * SW() + 2); }
  int FrameT(int r) const { return T(Y0(r) + 2); }
  int FrameR(int c, int k) const { return T(X0(c) + (k + 1) * SW() - 1); }
  int FrameB(int r) const { return Extended(T(Y0(r) + 0.95 * CH() - 0.125 * CH() - 2)); }
  int StripFrameT(int r) const { return Extended(T(Y0(r) + T(0.95 * CH()) - 0.125 * CH())); }
  int StripFrameB(int r) const { return Extended(T(Y0(r) + CH() - 1 - 0.125 * CH())); }
};
