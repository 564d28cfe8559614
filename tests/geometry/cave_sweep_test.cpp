// sweeps in the carved test cave: spheres walking and sliding as vurks do never pass
// through the surface nor sink into its faces, and bullets fired through the cave stop
// at its surface.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "geometry/cave_walk.h"
#include "geometry/collision_world.h"
#include "geometry/geometry.h"
#include "support/cave.h"

namespace vurkhold {
namespace {

using test::CollisionWorld;

// 0 when the segment a..b passes from the front of triangle t to more than a rounding
// error behind it, through the triangle itself (edges included); otherwise 1.
int stays_in_front(const POLYGON& t, XYZ a, XYZ b) {
  const XYZ& v0 = t.vertex[0]->p;
  const double n[3] = {t.normal.i, t.normal.j, t.normal.k};
  const double sa = n[0] * (a.x - static_cast<double>(v0.x)) + n[1] * (a.y - static_cast<double>(v0.y)) +
                    n[2] * (a.z - static_cast<double>(v0.z));
  const double sb = n[0] * (b.x - static_cast<double>(v0.x)) + n[1] * (b.y - static_cast<double>(v0.y)) +
                    n[2] * (b.z - static_cast<double>(v0.z));
  if (!(sa >= 0.0 && sb < -1e-5)) return 1;
  const double f = sa / (sa - sb);
  const XYZ crossing = {static_cast<float>(a.x + f * (b.x - static_cast<double>(a.x))),
                        static_cast<float>(a.y + f * (b.y - static_cast<double>(a.y))),
                        static_cast<float>(a.z + f * (b.z - static_cast<double>(a.z)))};
  return test::distance_to_triangle(t, crossing) > 1e-6 ? 1 : 0;
}

double plane_distance(const POLYGON& t, XYZ p) {
  const XYZ& v0 = t.vertex[0]->p;
  return t.normal.i * (p.x - static_cast<double>(v0.x)) + t.normal.j * (p.y - static_cast<double>(v0.y)) +
         t.normal.k * (p.z - static_cast<double>(v0.z));
}

// Counts faces the sphere sank into: at b the centre lies in front of a triangle, over its
// face (the nearest point is inside, not on an edge), deeper than `slack` within the
// radius, and nearer than it was at a, which was in front too. A sphere coming straight at
// a face stops on it exactly; one that first touches the face's plane beside the triangle
// is checked against the nearest edge point only, and may graze onto the face a little.
int count_sinkings(XYZ a, XYZ b, double radius, double slack) {
  int sunk = 0;
  test::for_triangles_near(b, radius + 1.0, [&](const POLYGON& t) {
    const double before = plane_distance(t, a), after = plane_distance(t, b);
    if (before < 0.0 || after < 0.0 || after >= radius - slack || after >= before - 1e-4) return;
    if (test::distance_to_triangle(t, b) > after + 1e-6) return;  // nearest point on an edge
    sunk++;
  });
  return sunk;
}

int count_crossings(XYZ a, XYZ b) {
  int crossed = 0;
  const XYZ mid = {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2};
  const double reach = 1.0 + std::sqrt(static_cast<double>(give_distance_pow2(&a, &b))) / 2;
  test::for_triangles_near(mid, reach, [&](const POLYGON& t) { crossed += !stays_in_front(t, a, b); });
  return crossed;
}

class CaveSweep : public CollisionWorld {
 protected:
  void SetUp() override {
    CollisionWorld::SetUp();
    test::carve_test_cave(7);
    triangles_ = test::count_terrain_triangles();
  }
  long triangles_ = 0;
};

TEST_F(CaveSweep, WalkingSpheresNeitherPassThroughNorSinkIntoTheSurface) {
  ASSERT_GT(triangles_, 1000);
  const std::vector<XYZ> starts = test::open_points(0.6);
  ASSERT_GT(starts.size(), 50u);
  test::WalkRng rng{2024};
  long contacts = 0, frames = 0;
  for (size_t s = 0; s < starts.size(); s += starts.size() / 40) {
    XYZ p = starts[s];
    IJK heading = rng.direction(1.0);
    for (int frame = 0; frame < 300; frame++, frames++) {
      if (frame % 15 == 0) heading = rng.direction(1.0);  // keeps pressing on one way a while
      const double length = rng.uniform(0.03, 0.3);
      const IJK step = {static_cast<float>(heading.i * length), static_cast<float>(heading.j * length),
                        static_cast<float>(heading.k * length)};
      // Each sweep of the frame is checked on its own: from where it starts to where it leaves the sphere.
      IJK movement = step;
      for (int sweep = 0; sweep < 3; sweep++) {
        XYZ result;
        IJK normal, slide;
        const int hit = test_sphere_collisions(p, 0.5f, movement, &result, &normal, &slide);
        const XYZ next = hit ? result : XYZ{p.x + movement.i, p.y + movement.j, p.z + movement.k};
        ASSERT_EQ(count_crossings(p, next), 0)
            << "start " << s << " frame " << frame << " sweep " << sweep << " from (" << p.x << ", " << p.y << ", "
            << p.z << ") to (" << next.x << ", " << next.y << ", " << next.z << ")";
        ASSERT_EQ(count_sinkings(p, next, 0.5, 0.05), 0)
            << "start " << s << " frame " << frame << " sweep " << sweep << " from (" << p.x << ", " << p.y << ", "
            << p.z << ") to (" << next.x << ", " << next.y << ", " << next.z << ")";
        p = next;
        if (!hit) break;
        contacts++;
        movement = slide;
      }
    }
  }
  // The walks really rubbed along the walls. (They may overlap a convex ridge a little:
  // a face is not met while moving away from it, nor from behind its plane; but the
  // centre never passes through.)
  EXPECT_GT(contacts, frames / 4);
}

TEST_F(CaveSweep, BulletsFiredThroughTheCaveStopAtTheSurface) {
  const std::vector<XYZ> starts = test::open_points(0.3);
  test::WalkRng rng{99};
  int hits = 0, shots = 0;
  for (size_t s = 0; s < starts.size(); s += starts.size() / 200, shots++) {
    XYZ p = starts[s];
    const IJK step = rng.direction(0.5);
    COLLISION_TYPE kind = CT_NO_COLLISION;
    // A bullet keeps flying in its line until it meets something.
    for (int n = 0; n < 200 && kind == CT_NO_COLLISION; n++) {
      XYZ at;
      IJK normal;
      kind = test_point_collisions(p, step, &at, &normal);
      const XYZ next = kind ? at : XYZ{p.x + step.i, p.y + step.j, p.z + step.k};
      ASSERT_EQ(count_crossings(p, next), 0) << "shot " << s << " step " << n;
      if (kind) {
        hits++;
        EXPECT_EQ(kind, CT_DIRT_COLLISION);  // the cave is closed: no wall is reached
        EXPECT_LT(test::clearance(at, 1.0), 1e-4);
        EXPECT_NEAR(give_vector_lenght(&normal), 1.0f, 1e-5f);
        EXPECT_LT(dot_product(&normal, &step), 0.0f);
      }
      p = next;
    }
  }
  EXPECT_EQ(hits, shots);
}

}  // namespace
}  // namespace vurkhold
