// "other/bullets.cfg": the bullet types, 21 value lines each, checked line by line.
#include <cstdlib>
#include <cstring>

#include "world/world.h"

namespace vurkhold {

namespace {

constexpr int MAX_BULLET_TYPES = 99;
constexpr int MAX_TRAIL = 3;
constexpr int MAX_EMIT_AMOUNT = 50;
constexpr int MAX_CLUSTERS = 25;
constexpr float MAX_HOLE_SIZE = 5.0f;
constexpr float MAX_LIGHT_RANGE = 500.0f;

bool in_range(float x, float lo, float hi) { return x >= lo && x <= hi; }
bool colour_ok(const float c[3]) { return in_range(c[0], 0, 1) && in_range(c[1], 0, 1) && in_range(c[2], 0, 1); }

// Resolves an emit or cluster name: `none_word` gives -1 in *index; otherwise only the
// types read before record i qualify. 0: no word; -1: not found; 1: done.
int read_type_reference(CONFIG_FILE* c, const char* none_word, int i, int8_t* index) {
  char word[CONFIG_NAME_SIZE] = "";
  config_read_line(c);
  if (std::sscanf(c->line, "%31s", word) != 1) return 0;
  if (std::strcmp(word, none_word) == 0) {
    *index = -1;
    return 1;
  }
  const int found = find_bullettype_by_name_2(word, i);
  if (found < 0) return -1;
  *index = static_cast<int8_t>(found);
  return 1;
}

// Lines 2..21 of record i; the name is already stored.
int read_bullet_values(CONFIG_FILE* c, int i, BULLET_TYPE* b) {
  const int number = i + 1;
  char word[CONFIG_NAME_SIZE] = "";

  config_read_line(c);
  int model = -1;
  if (std::sscanf(c->line, "%31s", word) == 1) model = find_bulletmodel_by_name(word);
  if (model < 0 || model >= bullet_models)
    return config_fail(c, "The model to use (%s, %d) in bullet %d is invalid.", word, model, number);
  b->model = &bullet_model[model];

  config_read_line(c);
  int life = 0;
  float variation = 0.0f;
  if (read_numbers(c->line, &life, &variation) != 2 || life < 1 || life > 65535 || variation < 0.0f)
    return config_fail(c, "The life of the bullet %d is invalid.", number);
  b->life = static_cast<uint16_t>(life);
  b->life_variation = variation / 100.0f;

  config_read_line(c);
  if (read_numbers(c->line, &b->gravity) != 1)
    return config_fail(c, "The gravity for the bullet %d is invalid.", number);

  config_read_line(c);
  if (read_numbers(c->line, &b->air_resistance) != 1 || b->air_resistance < 0.0f)
    return config_fail(c, "The air resistance for the bullet %d is invalid.", number);

  config_read_line(c);
  if (read_numbers(c->line, &b->damage) != 1 || b->damage < 0.0f)
    return config_fail(c, "The damage of the bullet %d is invalid.", number);

  config_read_line(c);
  if (read_numbers(c->line, &b->hole_size) != 1 || !in_range(b->hole_size, 0.0f, MAX_HOLE_SIZE))
    return config_fail(c, "The hole size of the bullet %d is invalid.", number);

  config_read_line(c);
  int timeout = -1;
  if (read_numbers(c->line, &timeout) != 1 || timeout < BTA_EXPLODE || timeout > BTA_DISAPPEAR)
    return config_fail(c, "The time out action of the bullet %d is invalid.", number);
  b->timeout_action = static_cast<BTA>(timeout);

  // A bounce above 1 would gain speed at every hit until the speed is no number at all.
  config_read_line(c);
  int wall_hit = -1;
  int vurk_hit = -1;
  if (read_numbers(c->line, &wall_hit, &vurk_hit, &b->bounce) != 3 || wall_hit < BHA_EXPLODE ||
      wall_hit > BHA_DAMAGE || vurk_hit < BHA_EXPLODE || vurk_hit > BHA_DAMAGE || !in_range(b->bounce, 0.0f, 1.0f))
    return config_fail(c, "The hit action of the bullet %d is invalid.", number);
  b->wall_hit = static_cast<BHA>(wall_hit);
  b->vurk_hit = static_cast<BHA>(vurk_hit);

  config_read_line(c);
  int trail = 0;
  if (read_numbers(c->line, &trail) != 1 || trail > MAX_TRAIL)
    return config_fail(c, "The trail particle of the bullet %d is invalid.", number);
  // Every negative value means no trail; -1 keeps that meaning in the 8-bit field.
  b->trail = static_cast<int8_t>(trail < 0 ? -1 : trail);

  config_read_line(c);
  if (read_numbers(c->line, &b->trail_color[0], &b->trail_color[1], &b->trail_color[2]) != 3 ||
      !colour_ok(b->trail_color))
    return config_fail(c, "The trail color of the bullet %d is invalid.", number);

  config_read_line(c);
  if (read_numbers(c->line, &b->trail_rate, &b->trail_life) != 2 || b->trail_rate <= 0 ||
      b->trail_life <= 0)
    return config_fail(c, "The trail parameters of the bullet %d are invalid.", number);

  const int emit = read_type_reference(c, "NO_EMIT", i, &b->emit);
  if (emit == 0) return config_fail(c, "Can't read emit type of the bullet %d.", number);
  if (emit < 0) return config_fail(c, "The emit type of the bullet %d is invalid.", number);

  // A negative amount passes here as it always has; flight emits nothing for it.
  config_read_line(c);
  if (read_numbers(c->line, &b->emit_rate, &b->emit_amount) != 2 || b->emit_rate < 100 ||
      b->emit_rate > 10000 || b->emit_amount > MAX_EMIT_AMOUNT)
    return config_fail(c, "The emit rate/amount of the bullet %d is invalid.", number);

  config_read_line(c);
  if (read_numbers(c->line, &b->emit_speed) != 1 || !in_range(b->emit_speed, 0.0f, 1.0f))
    return config_fail(c, "The emit speed of the bullet %d is invalid.", number);

  const int cluster = read_type_reference(c, "NO_CLUSTERS", i, &b->cluster);
  if (cluster == 0) return config_fail(c, "Can't read cluster type of the bullet %d.", number);
  if (cluster < 0) return config_fail(c, "The cluster type of the bullet %d is invalid.", number);

  config_read_line(c);
  int clusters = -1;
  if (read_numbers(c->line, &clusters) != 1 || clusters < 0 || clusters > MAX_CLUSTERS)
    return config_fail(c, "The number of clusters of the bullet %d is invalid.", number);
  b->clusters = static_cast<int8_t>(clusters);

  config_read_line(c);
  if (read_numbers(c->line, &b->cluster_speed) != 1 || !in_range(b->cluster_speed, 0.0f, 1.0f))
    return config_fail(c, "The cluster speed of the bullet %d is invalid.", number);

  config_read_line(c);
  if (read_numbers(c->line, &b->light_range) != 1 || !in_range(b->light_range, 0.0f, MAX_LIGHT_RANGE))
    return config_fail(c, "The light range of the bullet %d is invalid.", number);

  config_read_line(c);
  if (read_numbers(c->line, &b->light_color[0], &b->light_color[1], &b->light_color[2]) != 3 ||
      !colour_ok(b->light_color))
    return config_fail(c, "The light color of the bullet %d is invalid.", number);

  config_read_line(c);
  int flags = 0;
  // Stored in 16 bits: a wider value would lose its high bits rather than be refused.
  if (read_numbers(c->line, &flags) != 1 || flags < 0 || flags > 65535)
    return config_fail(c, "The flags of the bullet %d is invalid.", number);
  b->flags = static_cast<uint16_t>(flags);
  return 1;
}

}  // namespace

int load_bullet_types() {
  static constexpr CONFIG_HEADER header = {"other/bullets.cfg", "Can't find bullets.cfg",
                                           "The file bullets.cfg has a wrong version!",
                                           "Number of bullet types (%d) is invalid!", MAX_BULLET_TYPES};
  CONFIG_FILE c;
  int count = 0;
  if (!config_begin(&c, &header, &count)) return 0;
  bullet_type = static_cast<BULLET_TYPE*>(std::calloc(static_cast<size_t>(count), sizeof(BULLET_TYPE)));
  if (!bullet_type) return config_fail(&c, "No memory for bullets.");
  bullet_types = 0;

  for (int i = 0; i < count; i++) {
    BULLET_TYPE* b = &bullet_type[i];
    if (!config_read_name(&c, &b->name, "The name of bullet %d is invalid.", i + 1)) return 0;
    bullet_types = i + 1;
    if (!read_bullet_values(&c, i, b)) return 0;
  }
  config_close(&c);
  return 1;
}

void free_bullet_types() {
  for (int i = 0; i < bullet_types; i++) {
    std::free(bullet_type[i].name);
    bullet_type[i].name = nullptr;
  }
  std::free(bullet_type);
  bullet_type = nullptr;
  bullet_types = 0;
}

}  // namespace vurkhold
