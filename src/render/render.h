// rendering: everything that talks to GL. Texture objects for the asset loaders, the
// bitmap font, model drawing, the camera, the terrain, the scene of a match, its HUD and
// radar, the two views, screen viewports and screenshots.
#pragma once

#include "records/records.h"

namespace vurkhold {

// ---- texture objects ----

// Points the asset loaders' texture hooks at GL; call with the context current.
// remove_texture_objects empties the hooks again before the context goes.
void install_texture_objects();
void remove_texture_objects();

// ---- bitmap font ----

// Draws text with the top left of its first glyph at (x, y), glyphs size x size.
void glPrint(const char* text, float x, float y, float size);

// ---- model drawing ----

void draw_model(MODEL* m);
void draw_mesh(MESH* m);

// ---- screen viewports ----

// The window's drawable in pixels, kept by the resize handler.
void set_drawable_size(int width, int height);
void give_drawable_size(int* width, int* height);
// glViewport for a rectangle of the 640 x 480 screen (origin bottom left); every viewport
// of the game goes through it.
void screen_viewport(int x, int y, int width, int height);
// A perspective projection reaching from 0.1 to VISIBILITY, with an identity model-view.
void set_perspective(float fov, float aspect);
// The whole screen in 2D: orthographic 0..640 x 0..480, identity model-view and viewport.
void set_screen_projection();

// ---- camera ----

// Loads the camera's view transform into the current (model-view) matrix.
void set_camera(CAMERA* c);
// The six planes of the current projection and model-view into frustum[][].
void extract_frustum();

// ---- terrain ----

// Draws the triangles of every visible, non-empty cell below o, each corner lit by
// give_light, with the terrain texture the caller has bound. Triangles that GL's culling
// state would drop are left out before they are lit; the rest go through a fixed batch
// of lit vertices drawn as vertex arrays (the colour array is on only while it draws).
void render_octtree(OCTREE* o);
// Adds one cell's kept triangles to that batch, lit by the lights render_octtree found
// burning as it began; render_octtree draws what is left in it.
void render_gridcell(GRIDCELL* gc);

// ---- scene, HUD and views ----

// The 3D scene of a match as seen by m, into the viewport and projection already set.
void game_render(VURK_* m);
// The same scene from any camera; m is the vurk whose eyes it is (its own body is left
// out in first person), null for none.
void render_scene(CAMERA cam, const VURK_* m);
// qsort order of particle_list: the farthest particle (greatest distance) first.
int compare_particles(const void* p1, const void* p2);
void render_overlays(VURK_* m, float x, float y, float xsize, float ysize);
void render_stats(float x, float y);
void render_radar(float x, float y, float size);
// The render functions of a match: one view, or two side by side.
void one_player_view();
void two_player_view();
// "KILL-CAM" and its skip key over the top left corner (x, y) of a player's view while its
// kill-cam runs.
void render_kill_cam_caption(int player, float x, float y);

// ---- where the match is heard from ----

// Hands the cameras of the views drawn since the last call (render_scene's, at most two)
// to the mixer as its listeners, and starts gathering again. Once a frame after the views
// are drawn: a frame that drew no scene (the menu) hears everything alike.
void hear_from_views();

// ---- kill-cam ----

// Once a frame before the views draw: takes the drawn state into the ring and starts or
// ends each player's kill-cam (player 0's view follows vurk_to_render_1, player 1's
// vurk_to_render_2).
void update_kill_cam();
bool kill_cam_running(int player);
// The player's view into the viewport and projection already set: the replay while its
// kill-cam runs, otherwise the scene as its vurk sees it now.
void render_player_view(int player);

// ---- replays ----
// The whole screen from a free camera, with no vurk's overlays.
void free_camera_view(const CAMERA* cam);
// A replay's caption lines over the top of the screen, on a dark band, and a message in
// the middle when there is one (null: none).
void render_replay_caption(const char* status, const char* hint, const char* message);

// ---- screenshots ----

// The drawable's current back buffer as an 8-bit RGB PNG; false (with the reason in
// `error`) when the file cannot be written.
bool save_screenshot(const char* path, char* error, int error_size);

}  // namespace vurkhold
