// assets: the readers of the game's content that need no window: TGA images, the fixed
// textures, MilkShape 3D ASCII models and skeletal animation. Texture objects are made
// through one hook that the drawing side fills, so a run without GL loads everything too.
#pragma once

#include <cstdio>

#include "records/records.h"

namespace vurkhold {

// ---- TGA images ----

// Pixel formats of an image, numbered as GL numbers them so an image can be handed to
// GL as it is.
inline constexpr unsigned TEXTURE_ALPHA = 0x1906;
inline constexpr unsigned TEXTURE_RGB = 0x1907;
inline constexpr unsigned TEXTURE_RGBA = 0x1908;

// Pixel format of the image read last (TEXTURE_RGBA, TEXTURE_RGB or TEXTURE_ALPHA).
extern unsigned texFormat;

// 1 when x is 64, 128, 256 or 512.
int tarkista_koko(int x);
// Pixel readers: `size` pixels from the file's position into a new buffer (the caller
// frees it with std::free), colour bytes swapped to RGB(A); null on a short read.
unsigned char* getRGBA(FILE* s, int size);
unsigned char* getRGB(FILE* s, int size);
unsigned char* getGray(FILE* s, int size);
unsigned char* getData(FILE* s, int sz, int iBits);

// A TGA file read and checked, not yet a texture object.
struct TGA_IMAGE {
  int width;
  int height;
  int bits;
  unsigned format;        // TEXTURE_ value
  unsigned char* pixels;  // rows in the order stored; free with free_tga_image
};
// Reads and checks `name` with every message of the texture loader; 1 on success.
int read_tga_image(const char* name, TGA_IMAGE* image);
void free_tga_image(TGA_IMAGE* image);

// ---- texture objects ----

// The drawing side installs these once a GL context exists and removes them before it
// goes. While they are null the images are still read and checked and every texture id
// stays 0: a run without a window loads the same content and fails on the same files.
struct TEXTURE_HOOKS {
  unsigned (*upload)(const TGA_IMAGE* image);  // the new texture object's id, never 0
  void (*release)(unsigned id);
};
extern TEXTURE_HOOKS texture_hooks;

// Reads `name` and makes it a texture object; 1 on success, 0 after a message.
int load_tga_texture(const char* name, unsigned* id);
// Releases a texture object made by load_tga_texture and sets *id to 0; 0 is left alone.
void free_tga_texture(unsigned* id);
// The fourteen fixed textures; stops at the first failure.
int load_textures();
void free_textures();

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

// ---- skeletal animation ----

void angle_matrix(const XYZ* angles, float matrix[3][4]);
void concat_transforms(const float in1[3][4], const float in2[3][4], float out[3][4]);
void vector_rotate(XYZ in1, const float in2[3][4], XYZ* out);
void vector_inverse_rotate(XYZ in1, const float in2[3][4], XYZ* out);
void set_model_bones(MODEL* m);
void set_model_frame(MODEL* m, float frame);
void apply_model_frame(MODEL* m);

}  // namespace vurkhold
