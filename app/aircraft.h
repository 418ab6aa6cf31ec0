// The aircraft of the scene: a position, a fixed speed, a facing, and a small
// side-view drawing. Aircraft do nothing on their own; the movement that owns
// them, or the takeoff queue they wait in, moves and draws them.
#pragma once

class Display;

class Aircraft {
 public:
  virtual ~Aircraft() = default;
  Aircraft(const Aircraft&) = delete;
  Aircraft& operator=(const Aircraft&) = delete;

  virtual void draw() = 0;
  virtual int get_x() const { return x_; }
  virtual int get_y() const { return y_; }
  virtual void set_x(int value) { x_ = value; }
  virtual void set_y(int value) { y_ = value; }
  virtual bool faces_left() const { return facing_left_; }
  virtual void move_x_by(int delta) { x_ += delta; }
  virtual void move_y_by(int delta) { y_ += delta; }
  virtual int get_speed() const { return speed_; }

 protected:
  // `speed` is display units per tick along x; the display is not owned.
  Aircraft(int x, int y, bool facing_left, Display* display, int speed);

  // The seven filled shapes of the side view, tail fin first and wheels
  // last, around the reference point on the fuselage's centre line.
  void draw_shape(int body_colour, int nose_length);

 private:
  Display* display_;
  int speed_;
  int x_;
  int y_;
  bool facing_left_;
};

// White, with a short nose; 5 to 14 units per tick.
class SlowAircraft : public Aircraft {
 public:
  SlowAircraft(int x, int y, bool facing_left, Display* display);
  ~SlowAircraft() override = default;
  void draw() override;
};

// Pink, with a long nose; 10 to 19 units per tick.
class FastAircraft : public Aircraft {
 public:
  FastAircraft(int x, int y, bool facing_left, Display* display);
  ~FastAircraft() override = default;
  void draw() override;
};
