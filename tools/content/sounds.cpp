// sounds of the game folder: every sample is synthesised here from noise, oscillators,
// envelopes and filters, seeded per sound, and written as 16-bit mono PCM WAV.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "content/content.h"
#include "content/manifest.h"

namespace content {

namespace {

constexpr int RATE = 44100;
constexpr double PI = 3.14159265358979323846;
constexpr double TWO_PI = 2.0 * PI;
// Every sample is scaled so that its loudest point sits at -1 dBFS.
const double PEAK = std::pow(10.0, -1.0 / 20.0);

using Wave = std::vector<double>;

int samples_for(double seconds) { return static_cast<int>(seconds * RATE + 0.5); }
double time_of(size_t i) { return static_cast<double>(i) / RATE; }

// xorshift32: the same seed gives the same sound on every build.
struct Noise {
  uint32_t s;
  double white() {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return static_cast<double>(s) / 2147483648.0 - 1.0;
  }
  double uniform(double lo, double hi) { return lo + (hi - lo) * (white() + 1.0) * 0.5; }
};

// Topology-preserving state-variable filter: stable at any cutoff below Nyquist, so the
// cutoff may sweep sample by sample.
struct Svf {
  double ic1 = 0.0, ic2 = 0.0;
  double low = 0.0, band = 0.0, high = 0.0;
  void run(double x, double cutoff, double q) {
    if (cutoff > 0.45 * RATE) cutoff = 0.45 * RATE;
    const double g = std::tan(PI * cutoff / RATE);
    const double k = 1.0 / q;
    const double a1 = 1.0 / (1.0 + g * (g + k));
    const double a2 = g * a1;
    const double a3 = g * a2;
    const double v3 = x - ic2;
    const double v1 = a1 * ic1 + a2 * v3;
    const double v2 = ic2 + a2 * ic1 + a3 * v3;
    ic1 = 2.0 * v1 - ic1;
    ic2 = 2.0 * v2 - ic2;
    low = v2;
    band = v1;
    high = x - k * v1 - v2;
  }
  double lowpass(double x, double cutoff, double q = 0.707) {
    run(x, cutoff, q);
    return low;
  }
  double bandpass(double x, double cutoff, double q) {
    run(x, cutoff, q);
    return band;
  }
  double highpass(double x, double cutoff, double q = 0.707) {
    run(x, cutoff, q);
    return high;
  }
};

// A phase accumulator, so that a sweeping frequency stays continuous.
struct Osc {
  double phase = 0.0;  // in cycles
  double step(double freq) {
    phase += freq / RATE;
    phase -= std::floor(phase);
    return phase;
  }
  double sine(double freq) { return std::sin(TWO_PI * step(freq)); }
  // A band-limited-enough saw for low pitches: a few harmonics summed.
  double saw(double freq, int harmonics) {
    const double p = TWO_PI * step(freq);
    double s = 0.0;
    for (int h = 1; h <= harmonics && h * freq < 0.45 * RATE; h++) s += std::sin(h * p) / h;
    return s * 0.6;
  }
};

// Rises linearly over `attack` seconds, then decays with time constant `decay`.
double strike(double t, double attack, double decay) {
  if (t < 0.0) return 0.0;
  if (t < attack) return t / attack;
  return std::exp(-(t - attack) / decay);
}

// 0 before `start`, a raised-cosine rise over `rise` seconds, 1 until `end` - `fall`, then
// a raised-cosine fall to 0 at `end`.
double gate(double t, double start, double rise, double end, double fall) {
  if (t <= start || t >= end) return 0.0;
  if (t < start + rise) return 0.5 - 0.5 * std::cos(PI * (t - start) / rise);
  if (t > end - fall) return 0.5 - 0.5 * std::cos(PI * (end - t) / fall);
  return 1.0;
}

// A short ring of inharmonic partials: a struck bit of metal.
double ping(double t, const double* freqs, int n, double decay) {
  if (t < 0.0) return 0.0;
  double s = 0.0;
  for (int k = 0; k < n; k++) s += std::sin(TWO_PI * freqs[k] * t) * std::exp(-t * (1.0 + 0.6 * k) / decay);
  return s / n;
}

// ---- the sounds ----

Wave explosion(Noise& r) {
  Wave w(static_cast<size_t>(samples_for(1.45)));
  Svf crack_f, body_f, rumble_f, debris_f;
  Osc thump;
  double debris = 0.0;
  for (size_t i = 0; i < w.size(); i++) {
    const double t = time_of(i);
    const double n = r.white();
    const double crack = crack_f.highpass(n, 900.0) * strike(t, 0.0008, 0.014);
    const double body = body_f.lowpass(n, 140.0 + 2600.0 * std::exp(-t / 0.11), 0.9) * strike(t, 0.004, 0.32);
    const double rumble = rumble_f.lowpass(r.white(), 110.0, 1.2) * strike(t, 0.02, 0.55) * 2.2;
    const double boom = thump.sine(45.0 + 60.0 * std::exp(-t / 0.07)) * strike(t, 0.002, 0.2);
    // Falling rubble: sparse clicks, thinning out as the blast dies.
    if (t > 0.08 && r.uniform(0.0, 1.0) < 0.0016 * std::exp(-(t - 0.08) / 0.4)) debris = r.uniform(0.4, 1.0);
    const double bits = debris_f.bandpass(debris * r.white(), 2200.0, 1.5);
    debris *= 0.993;
    w[i] = std::tanh(1.6 * (1.1 * crack + 1.9 * body + rumble + 0.35 * boom + 0.6 * bits));
  }
  return w;
}

Wave death(Noise& r) {
  Wave w(static_cast<size_t>(samples_for(0.95)));
  Osc voice, vibrato, gurgle;
  Svf f1, f2, breath_f, jitter_f;
  for (size_t i = 0; i < w.size(); i++) {
    const double t = time_of(i);
    const double jitter = jitter_f.lowpass(r.white(), 30.0) * 6.0;
    const double depth = 0.02 + 0.08 * t;
    const double pitch = (75.0 + 360.0 * std::exp(-t * 2.2)) * (1.0 + depth * vibrato.sine(7.5) + 0.03 * jitter);
    const double src = voice.saw(pitch, 40);
    // The vowel closes from an open cry to a low moan.
    const double u = std::fmin(t / 0.8, 1.0);
    const double vowel = f1.bandpass(src, 850.0 - 450.0 * u, 5.0) + 0.7 * f2.bandpass(src, 1250.0 - 550.0 * u, 6.0);
    const double breath = breath_f.bandpass(r.white(), 2600.0, 1.0) * 0.25;
    const double throat = 1.0 - 0.45 * std::fmax(0.0, t - 0.35) / 0.6 * (0.5 + 0.5 * gurgle.sine(19.0));
    w[i] = (vowel + breath) * throat * strike(t, 0.025, 0.5) * gate(t, 0.0, 0.004, 0.95, 0.2);
  }
  return w;
}

Wave machine_gun(Noise& r) {
  Wave w(static_cast<size_t>(samples_for(0.24)));
  Svf crack_f, body_f;
  Osc thump;
  for (size_t i = 0; i < w.size(); i++) {
    const double t = time_of(i);
    const double n = r.white();
    const double crack = crack_f.bandpass(n, 1900.0, 0.8) * strike(t, 0.0006, 0.018);
    const double body = body_f.lowpass(n, 300.0 + 1400.0 * std::exp(-t / 0.02)) * strike(t, 0.001, 0.045);
    const double boom = thump.sine(78.0 + 70.0 * std::exp(-t / 0.02)) * strike(t, 0.001, 0.04);
    w[i] = std::tanh(2.2 * (1.6 * crack + 1.2 * body + 0.3 * boom));
  }
  return w;
}

Wave minigun(Noise& r) {
  Wave w(static_cast<size_t>(samples_for(0.13)));
  Svf crack_f, body_f;
  Osc thump, tick;
  for (size_t i = 0; i < w.size(); i++) {
    const double t = time_of(i);
    const double n = r.white();
    const double crack = crack_f.bandpass(n, 3200.0, 0.9) * strike(t, 0.0004, 0.008);
    const double body = body_f.lowpass(n, 2400.0) * strike(t, 0.0008, 0.022);
    const double boom = thump.sine(120.0 + 110.0 * std::exp(-t / 0.012)) * strike(t, 0.0008, 0.02);
    const double click = tick.sine(4300.0) * strike(t, 0.0003, 0.003);
    w[i] = std::tanh(2.0 * (1.5 * crack + 0.8 * body + 0.3 * boom + 0.5 * click));
  }
  return w;
}

Wave shotgun(Noise& r) {
  Wave w(static_cast<size_t>(samples_for(0.78)));
  Svf blast_f, click_f;
  Osc thump;
  const double ring[] = {3150.0, 4720.0};
  for (size_t i = 0; i < w.size(); i++) {
    const double t = time_of(i);
    const double n = r.white();
    const double blast = blast_f.lowpass(n, 600.0 + 5000.0 * std::exp(-t / 0.04), 0.8) * strike(t, 0.0008, 0.09);
    const double boom = thump.sine(55.0 + 60.0 * std::exp(-t / 0.03)) * strike(t, 0.001, 0.06);
    // The pump: back and forward again.
    double pump = 0.0;
    for (double at : {0.45, 0.58}) {
      const double dt = t - at;
      if (dt >= 0.0) pump += 0.7 * std::exp(-dt / 0.005) * n + 0.5 * ping(dt, ring, 2, 0.02);
    }
    w[i] = std::tanh(1.8 * (2.2 * blast + 0.35 * boom)) + 0.45 * click_f.bandpass(pump, 2600.0, 0.9);
  }
  return w;
}

Wave sniper(Noise& r) {
  Wave dry(static_cast<size_t>(samples_for(0.95)));
  Svf crack_f, boom_f;
  Osc thump;
  for (size_t i = 0; i < dry.size(); i++) {
    const double t = time_of(i);
    const double n = r.white();
    const double crack = crack_f.highpass(n, 2200.0) * strike(t, 0.0003, 0.005);
    const double boom = boom_f.lowpass(n, 1300.0) * strike(t, 0.001, 0.05);
    const double low = thump.sine(60.0 + 50.0 * std::exp(-t / 0.03)) * strike(t, 0.001, 0.06);
    dry[i] = std::tanh(2.5 * (1.8 * crack + boom + 0.3 * low));
  }
  // The cave answers: three feedback combs give a long, darkening echo.
  Wave w(dry.size());
  const int delays[] = {1543, 2251, 3067};
  std::vector<double> line[3];
  double damp[3] = {0.0, 0.0, 0.0};
  for (int k = 0; k < 3; k++) line[k].assign(static_cast<size_t>(delays[k]), 0.0);
  for (size_t i = 0; i < w.size(); i++) {
    double wet = 0.0;
    for (int k = 0; k < 3; k++) {
      const size_t at = i % static_cast<size_t>(delays[k]);
      const double out = line[k][at];
      damp[k] += 0.35 * (out - damp[k]);
      line[k][at] = dry[i] + 0.62 * damp[k];
      wet += out;
    }
    w[i] = dry[i] + 0.33 * wet;
  }
  for (size_t i = 0; i < w.size(); i++) w[i] *= gate(time_of(i), -1.0, 0.0, 0.95, 0.35);
  return w;
}

Wave rocket(Noise& r) {
  Wave w(static_cast<size_t>(samples_for(0.92)));
  Svf whoosh_f, rumble_f;
  Osc thump;
  for (size_t i = 0; i < w.size(); i++) {
    const double t = time_of(i);
    const double ignite = thump.sine(55.0 + 80.0 * std::exp(-t / 0.03)) * strike(t, 0.001, 0.06);
    const double rise = std::sin(PI * std::fmin(t / 0.92, 1.0));
    const double whoosh = whoosh_f.bandpass(r.white(), 450.0 + 2600.0 * rise * rise, 2.2) * 2.4;
    const double rumble = rumble_f.lowpass(r.white(), 180.0, 1.0) * 2.0;
    const double flight = (whoosh + rumble) * strike(t, 0.07, 0.3) * gate(t, 0.0, 0.01, 0.92, 0.3);
    w[i] = std::tanh(0.9 * (0.6 * ignite + flight));
  }
  return w;
}

Wave grenade(Noise& r) {
  Wave w(static_cast<size_t>(samples_for(0.42)));
  Osc tube, second;
  Svf air_f;
  const double clink[] = {2730.0, 4100.0, 5950.0};
  for (size_t i = 0; i < w.size(); i++) {
    const double t = time_of(i);
    const double pitch = 105.0 + 170.0 * std::exp(-t / 0.04);
    const double pop = (tube.sine(pitch) + 0.35 * second.sine(2.0 * pitch)) * strike(t, 0.002, 0.07);
    const double air = air_f.bandpass(r.white(), 700.0, 1.2) * strike(t, 0.001, 0.025) * 1.5;
    w[i] = std::tanh(1.4 * (pop + air)) + 0.18 * ping(t - 0.2, clink, 3, 0.04);
  }
  return w;
}

Wave bouncer(Noise& r) {
  Wave w(static_cast<size_t>(samples_for(0.55)));
  Osc spring;
  Svf tap_f;
  for (size_t i = 0; i < w.size(); i++) {
    const double t = time_of(i);
    const double pitch = 240.0 + 90.0 * (1.0 - std::exp(-t / 0.03)) + 95.0 * std::exp(-t / 0.16) * std::sin(TWO_PI * 11.0 * t);
    const double tone = std::tanh(2.5 * spring.sine(pitch));
    const double tap = tap_f.bandpass(r.white(), 1500.0, 1.0) * strike(t, 0.0005, 0.006);
    w[i] = tone * strike(t, 0.003, 0.17) + 0.8 * tap;
  }
  return w;
}

Wave mine(Noise& r) {
  Wave w(static_cast<size_t>(samples_for(0.5)));
  Svf clunk_f, beep_f;
  Osc thud, beep;
  for (size_t i = 0; i < w.size(); i++) {
    const double t = time_of(i);
    const double clunk = clunk_f.lowpass(r.white(), 650.0, 1.4) * strike(t, 0.001, 0.03) * 1.6 +
                         thud.sine(95.0) * strike(t, 0.002, 0.05);
    // Armed: two short beeps, softened square waves.
    const double sq = beep.sine(1400.0) > 0.0 ? 1.0 : -1.0;
    const double beeps = gate(t, 0.17, 0.003, 0.23, 0.003) + gate(t, 0.33, 0.003, 0.39, 0.003);
    w[i] = clunk + 0.35 * beep_f.lowpass(sq, 3000.0) * beeps;
  }
  return w;
}

Wave flame(Noise& r) {
  Wave w(static_cast<size_t>(samples_for(0.7)));
  Svf roar_f, body_f, flutter_f, crackle_f;
  double spark = 0.0;
  for (size_t i = 0; i < w.size(); i++) {
    const double t = time_of(i);
    const double flutter = 1.0 + 3.5 * flutter_f.lowpass(r.white(), 14.0);
    const double n = r.white();
    const double roar = roar_f.lowpass(n, 1100.0, 0.8) + 0.8 * body_f.bandpass(n, 260.0, 1.5);
    if (r.uniform(0.0, 1.0) < 0.0012) spark = r.uniform(0.5, 1.0);
    const double crackle = crackle_f.bandpass(spark * r.white(), 3300.0, 2.0);
    spark *= 0.985;
    w[i] = (roar * flutter + 0.9 * crackle) * gate(t, 0.0, 0.05, 0.7, 0.25);
  }
  return w;
}

Wave laser(Noise&) {
  Wave w(static_cast<size_t>(samples_for(0.38)));
  Osc a, b, fm;
  for (size_t i = 0; i < w.size(); i++) {
    const double t = time_of(i);
    const double pitch = 320.0 + 2700.0 * std::exp(-t / 0.06);
    const double wobble = 1.0 + 0.04 * fm.sine(55.0);
    const double pa = a.step(pitch * wobble);
    const double pb = b.step(pitch * 1.015);
    const double tone = std::sin(TWO_PI * pa) + 0.3 * std::sin(3.0 * TWO_PI * pa) + 0.6 * std::sin(TWO_PI * pb);
    w[i] = tone * strike(t, 0.001, 0.13);
  }
  return w;
}

Wave napalm(Noise& r) {
  Wave w(static_cast<size_t>(samples_for(0.85)));
  Svf whoomp_f, hiss_f;
  Osc bubble;
  double bubble_at = -1.0, bubble_pitch = 0.0;
  for (size_t i = 0; i < w.size(); i++) {
    const double t = time_of(i);
    const double whoomp = whoomp_f.lowpass(r.white(), 180.0 + 500.0 * strike(t, 0.08, 0.15), 1.1) * 2.6 *
                          strike(t, 0.07, 0.3);
    const double hiss = hiss_f.highpass(r.white(), 2500.0) * 0.12 * gate(t, 0.03, 0.1, 0.85, 0.4);
    // Burning jelly: a bubble pops every so often, its pitch rising as it bursts.
    if (t > 0.1 && t < 0.65 && t - bubble_at > 0.05 && r.uniform(0.0, 1.0) < 0.0009) {
      bubble_at = t;
      bubble_pitch = r.uniform(250.0, 520.0);
    }
    const double bt = t - bubble_at;
    double pop = 0.0;
    if (bubble_at >= 0.0 && bt < 0.06) pop = bubble.sine(bubble_pitch * (1.0 + 8.0 * bt)) * std::sin(PI * bt / 0.06);
    w[i] = std::tanh(whoomp + hiss + 0.3 * pop) * gate(t, 0.0, 0.002, 0.85, 0.3);
  }
  return w;
}

Wave digger(Noise& r) {
  Wave w(static_cast<size_t>(samples_for(0.6)));
  Osc motor, fifth, chop;
  Svf body_f, grit_f;
  for (size_t i = 0; i < w.size(); i++) {
    const double t = time_of(i);
    const double spin = 85.0 + 40.0 * (1.0 - std::exp(-t / 0.12));
    const double teeth = 0.5 + 0.5 * std::tanh(4.0 * chop.sine(spin / 3.0));
    const double hum = body_f.bandpass(motor.saw(spin, 30) + 0.6 * fifth.saw(spin * 1.5, 20), 700.0, 0.9);
    const double grit = grit_f.bandpass(r.white(), 2400.0, 1.3) * teeth;
    w[i] = std::tanh(2.0 * (hum * (0.6 + 0.4 * teeth) + 0.6 * grit)) * gate(t, 0.0, 0.015, 0.6, 0.12);
  }
  return w;
}

Wave cluster(Noise& r) {
  Wave w(static_cast<size_t>(samples_for(0.62)));
  Osc thunk;
  Svf pop_f;
  double rattle_at[8];
  double rattle_pitch[8];
  for (int k = 0; k < 8; k++) {
    rattle_at[k] = 0.12 + 0.045 * k + r.uniform(0.0, 0.03);
    rattle_pitch[k] = r.uniform(0.85, 1.2);
  }
  for (size_t i = 0; i < w.size(); i++) {
    const double t = time_of(i);
    const double low = thunk.sine(48.0 + 70.0 * std::exp(-t / 0.05)) * strike(t, 0.002, 0.1);
    const double pop = pop_f.lowpass(r.white(), 900.0, 1.0) * strike(t, 0.001, 0.035) * 1.4;
    double rattle = 0.0;
    for (int k = 0; k < 8; k++) {
      const double f[] = {2100.0 * rattle_pitch[k], 3380.0 * rattle_pitch[k]};
      rattle += ping(t - rattle_at[k], f, 2, 0.012) * (1.0 - 0.09 * k);
    }
    w[i] = std::tanh(1.5 * (0.6 * low + 1.6 * pop)) + 0.5 * rattle;
  }
  return w;
}

Wave plasma(Noise& r) {
  Wave w(static_cast<size_t>(samples_for(0.5)));
  Osc carrier, mod;
  Svf tone_f, sizzle_f, flicker_f;
  for (size_t i = 0; i < w.size(); i++) {
    const double t = time_of(i);
    const double pitch = 170.0 + 900.0 * std::exp(-t / 0.05);
    const double m = mod.sine(pitch * 0.5 + 60.0);
    const double sq = carrier.sine(pitch * (1.0 + 0.5 * m)) > 0.0 ? 1.0 : -1.0;
    const double tone = tone_f.lowpass(sq, 2500.0, 1.8);
    const double flicker = 0.5 + 4.0 * std::fabs(flicker_f.lowpass(r.white(), 80.0));
    const double sizzle = sizzle_f.bandpass(r.white(), 5200.0, 1.6) * flicker;
    w[i] = (0.7 * tone + 0.9 * sizzle) * strike(t, 0.002, 0.15);
  }
  return w;
}

Wave antigrav(Noise& r) {
  Wave w(static_cast<size_t>(samples_for(0.9)));
  Osc a, b, ring, vib;
  Svf shimmer_f;
  for (size_t i = 0; i < w.size(); i++) {
    const double t = time_of(i);
    const double pitch = 170.0 * std::pow(2.0, 2.4 * t) * (1.0 + 0.035 * vib.sine(6.0));
    const double tone = a.sine(pitch) + 0.8 * b.sine(pitch * 1.007);
    const double ringed = tone * (0.6 + 0.4 * ring.sine(pitch * 0.5 + 37.0));
    const double shimmer = shimmer_f.bandpass(r.white(), 2.0 * pitch + 3000.0, 8.0) * 0.8;
    w[i] = (ringed + shimmer) * gate(t, 0.0, 0.09, 0.9, 0.35);
  }
  return w;
}

Wave nailgun(Noise& r) {
  Wave w(static_cast<size_t>(samples_for(0.26)));
  Svf thwack_f, hiss_f;
  const double nail[] = {1850.0, 2960.0, 4310.0};
  for (size_t i = 0; i < w.size(); i++) {
    const double t = time_of(i);
    const double thwack = thwack_f.bandpass(r.white(), 1500.0, 0.9) * strike(t, 0.0005, 0.01) * 2.0;
    const double hiss = hiss_f.highpass(r.white(), 4000.0) * strike(t - 0.015, 0.01, 0.07) * 0.35;
    w[i] = std::tanh(thwack) + 0.55 * ping(t, nail, 3, 0.05) + hiss;
  }
  return w;
}

struct Design {
  const char* file;
  Wave (*make)(Noise&);
};

const Design designs[] = {
    {"exp1.wav", explosion},   {"death.wav", death},       {"mg.wav", machine_gun}, {"shotgun.wav", shotgun},
    {"sniper.wav", sniper},    {"rocket.wav", rocket},     {"grenade.wav", grenade}, {"bouncer.wav", bouncer},
    {"mine.wav", mine},        {"flame.wav", flame},       {"laser.wav", laser},    {"napalm.wav", napalm},
    {"digger.wav", digger},    {"cluster.wav", cluster},   {"plasma.wav", plasma},  {"antigrav.wav", antigrav},
    {"minigun.wav", minigun},  {"nailgun.wav", nailgun},
};

// Removes any offset, fades both ends so neither clicks, and scales to the common peak.
void finish(Wave& w) {
  double mean = 0.0;
  for (double s : w) mean += s;
  mean /= static_cast<double>(w.size());
  const int fade_in = samples_for(0.0015);
  const int fade_out = samples_for(0.012);
  const int n = static_cast<int>(w.size());
  for (int i = 0; i < n; i++) {
    double g = 1.0;
    if (i < fade_in) g = 0.5 - 0.5 * std::cos(PI * i / fade_in);
    if (n - 1 - i < fade_out) g *= 0.5 - 0.5 * std::cos(PI * (n - 1 - i) / fade_out);
    w[static_cast<size_t>(i)] = (w[static_cast<size_t>(i)] - mean) * g;
  }
  double peak = 0.0;
  for (double s : w) peak = std::fmax(peak, std::fabs(s));
  if (peak > 0.0)
    for (double& s : w) s *= PEAK / peak;
}

void put16(std::string& out, unsigned v) {
  out += static_cast<char>(v & 0xff);
  out += static_cast<char>((v >> 8) & 0xff);
}
void put32(std::string& out, uint32_t v) {
  put16(out, v & 0xffff);
  put16(out, v >> 16);
}

std::string wav_bytes(const Wave& w) {
  const uint32_t data = static_cast<uint32_t>(w.size() * 2);
  std::string out = "RIFF";
  put32(out, 36 + data);
  out += "WAVEfmt ";
  put32(out, 16);
  put16(out, 1);  // PCM
  put16(out, 1);  // mono
  put32(out, RATE);
  put32(out, RATE * 2);
  put16(out, 2);
  put16(out, 16);
  out += "data";
  put32(out, data);
  for (double s : w) {
    const long v = std::lround(s * 32767.0);
    put16(out, static_cast<unsigned>(static_cast<uint16_t>(static_cast<int16_t>(v))));
  }
  return out;
}

// FNV-1a of the file name: each sound keeps its own noise whatever the manifest's order.
uint32_t seed_of(const char* file) {
  uint32_t h = 2166136261u;
  for (const char* c = file; *c; c++) h = (h ^ static_cast<unsigned char>(*c)) * 16777619u;
  return h ? h : 1u;
}

const Design* design_for(const char* file) {
  for (const Design& d : designs)
    if (std::strcmp(d.file, file) == 0) return &d;
  return nullptr;
}

}  // namespace

int write_sounds(const char* dir) {
  for (const SOUND_ENTRY& entry : sounds) {
    const Design* d = design_for(entry.file);
    if (!d) {
      std::fprintf(stderr, "vurkhold-content: no sound design for %s\n", entry.file);
      return 0;
    }
    Noise noise{seed_of(entry.file)};
    Wave w = d->make(noise);
    finish(w);
    const std::string path = std::string(dir) + "/sounds/" + entry.file;
    const std::string bytes = wav_bytes(w);
    if (!write_bytes(path.c_str(), bytes.data(), bytes.size())) return 0;
  }
  return 1;
}

}  // namespace content
