#include "source/layer_effect.h"

#include "base/module_host.h"

#include <obs-module.h>

namespace {

// The host's default sprite, with the sample (premultiplied, read as sRGB into linear
// light) times the layer's opacity: a fading layer needs no new texture.
const char *const layerEffectText = R"(
uniform float4x4 ViewProj;
uniform texture2d image;
uniform float opacity;

sampler_state layerSampler {
	Filter   = Linear;
	AddressU = Clamp;
	AddressV = Clamp;
};

struct VertInOut {
	float4 pos : POSITION;
	float2 uv  : TEXCOORD0;
};

VertInOut VSLayer(VertInOut vert_in)
{
	VertInOut vert_out;
	vert_out.pos = mul(float4(vert_in.pos.xyz, 1.0), ViewProj);
	vert_out.uv  = vert_in.uv;
	return vert_out;
}

float4 PSLayer(VertInOut vert_in) : TARGET
{
	return image.Sample(layerSampler, vert_in.uv) * opacity;
}

technique Draw
{
	pass
	{
		vertex_shader = VSLayer(vert_in);
		pixel_shader  = PSLayer(vert_in);
	}
}
)";

gs_effect_t *ownEffect = nullptr;
// The parameters are looked up once, when the effect is made: the graphics thread asks
// for them on every draw.
LayerEffect current;

} // namespace

LayerEffect layerEffect()
{
	if (current.effect)
		return current;
	char *errors = nullptr;
	ownEffect = gs_effect_create(layerEffectText, "curtainup-layer.effect", &errors);
	if (!ownEffect)
		moduleLog(LOG_WARNING, "the countdown's layer effect did not compile (%s); messages will not fade",
			  errors ? errors : "no reason given");
	bfree(errors);
	current.effect = ownEffect ? ownEffect : obs_get_base_effect(OBS_EFFECT_DEFAULT);
	current.image = gs_effect_get_param_by_name(current.effect, "image");
	current.opacity = ownEffect ? gs_effect_get_param_by_name(ownEffect, "opacity") : nullptr;
	return current;
}

void releaseLayerEffect()
{
	if (ownEffect)
		gs_effect_destroy(ownEffect);
	ownEffect = nullptr;
	current = {};
}
