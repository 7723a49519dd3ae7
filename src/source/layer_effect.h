#pragma once

struct gs_effect;
struct gs_effect_param;
typedef struct gs_effect gs_effect_t;
typedef struct gs_effect_param gs_eparam_t;

// The effect the countdown's layers are drawn with: a sprite of a premultiplied texture
// times an opacity. Without it (it did not compile) the host's default effect draws the
// layers at full opacity, and `opacity` is null.
struct LayerEffect {
	gs_effect_t *effect = nullptr;
	gs_eparam_t *image = nullptr;
	gs_eparam_t *opacity = nullptr;
};

// Inside the graphics context; made on first use.
LayerEffect layerEffect();
// Inside the graphics context, once no countdown source is left to draw with it.
void releaseLayerEffect();
