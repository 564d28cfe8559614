// rendering and assets: TGA textures, the bitmap font, model files, skeletal animation
// and model drawing.
#pragma once

#include <cstdio>

#include "shell/shell.h"

namespace vurkhold {

// ---- TGA textures ----

// GL pixel format of the image read last (GL_RGBA, GL_RGB or GL_ALPHA).
extern unsigned texFormat;

// 1 when x is 64, 128, 256 or 512.
int tarkista_koko(int x);
// Pixel readers: `size` pixels from the file's position into a new buffer (the caller
// frees it with std::free), colour bytes swapped to RGB(A); null on a short read.
unsigned char* getRGBA(FILE* s, int size);
unsigned char* getRGB(FILE* s, int size);
unsigned char* getGray(FILE* s, int size);
unsigned char* getData(FILE* s, int sz, int iBits);

// A TGA file read and checked, not yet uploaded.
struct TGA_IMAGE {
  int width;
  int height;
  int bits;
  unsigned format;        // GL_RGBA, GL_RGB or GL_ALPHA
  unsigned char* pixels;  // rows in the order stored; free with free_tga_image
};
// Reads and checks `name` with every message of the texture loader; 1 on success.
int read_tga_image(const char* name, TGA_IMAGE* image);
void free_tga_image(TGA_IMAGE* image);

// Reads `name` and uploads it as a texture object into *id; 1 on success, 0 after a message.
int load_tga_texture(const char* name, unsigned* id);
// The fourteen fixed textures; stops at the first failure.
int load_textures();
void free_textures();

// ---- bitmap font ----

// Draws text with the top left of its first glyph at (x, y), glyphs size x size.
void glPrint(const char* text, float x, float y, float size);

// ---- model files ----

int load_milkshape_model(MODEL* m, const char* filename);
void free_model(MODEL* m);
float find_model_radius(MODEL* m);
void calculate_polygon_normal(POLYGON* p);
void init_model(MODEL* m);
void init_mesh(MESH* m);
void init_vector(IJK* v);
void init_bone(BONE* b);
void init_polygon(POLYGON* p);
// The four fixed models, then the bullet and weapon model lists.
int load_models();
void free_models();

// ---- skeletal animation and model drawing ----

void angle_matrix(const XYZ* angles, float matrix[3][4]);
void concat_transforms(const float in1[3][4], const float in2[3][4], float out[3][4]);
void vector_rotate(XYZ in1, const float in2[3][4], XYZ* out);
void vector_inverse_rotate(XYZ in1, const float in2[3][4], XYZ* out);
void set_model_bones(MODEL* m);
void set_model_frame(MODEL* m, float frame);
void apply_model_frame(MODEL* m);
void draw_model(MODEL* m);
void draw_mesh(MESH* m);

}  // namespace vurkhold
