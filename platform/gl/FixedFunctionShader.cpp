#include "platform/gl/FixedFunctionShader.h"

#include "platform/gl/ProgramLink.h"

namespace quorvel::gl {

namespace {

const char* interpolation(const ShaderKey& k) { return k.flatShade ? "flat " : ""; }

// A material colour: the material's own value or one of the vertex colours.
std::string materialColour(std::uint8_t source, int materialIndex) {
    if (source == D3DMCS_COLOR1) return "diffuseIn";
    if (source == D3DMCS_COLOR2) return "specularIn";
    return "uMaterial[" + std::to_string(materialIndex) + "]";
}

std::string argument(std::uint8_t arg, int stage) {
    std::string v;
    switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE: v = "diffuse"; break;
    case D3DTA_CURRENT: v = "current"; break;
    case D3DTA_TEXTURE: v = "tex" + std::to_string(stage); break;
    case D3DTA_TFACTOR: v = "uTextureFactor"; break;
    case D3DTA_SPECULAR: v = "specular"; break;
    default: v = "vec4(0.0)"; break;
    }
    if (arg & D3DTA_COMPLEMENT) v = "(vec4(1.0) - " + v + ")";
    if (arg & D3DTA_ALPHAREPLICATE) v = "vec4((" + v + ").a)";
    return v;
}

// Expression of a texture operation on two vec4 arguments a and b; the caller takes .rgb or .a.
std::string operation(std::uint8_t op, const std::string& a, const std::string& b, int stage) {
    const std::string tex = "tex" + std::to_string(stage);
    switch (op) {
    case D3DTOP_SELECTARG1: return a;
    case D3DTOP_SELECTARG2: return b;
    case D3DTOP_MODULATE: return "(" + a + " * " + b + ")";
    case D3DTOP_MODULATE2X: return "(2.0 * " + a + " * " + b + ")";
    case D3DTOP_MODULATE4X: return "(4.0 * " + a + " * " + b + ")";
    case D3DTOP_ADD: return "(" + a + " + " + b + ")";
    case D3DTOP_ADDSIGNED: return "(" + a + " + " + b + " - vec4(0.5))";
    case D3DTOP_ADDSIGNED2X: return "(2.0 * (" + a + " + " + b + " - vec4(0.5)))";
    case D3DTOP_SUBTRACT: return "(" + a + " - " + b + ")";
    case D3DTOP_ADDSMOOTH: return "(" + a + " + " + b + " - " + a + " * " + b + ")";
    case D3DTOP_BLENDDIFFUSEALPHA: return "mix(" + b + ", " + a + ", diffuse.a)";
    case D3DTOP_BLENDTEXTUREALPHA: return "mix(" + b + ", " + a + ", " + tex + ".a)";
    case D3DTOP_BLENDFACTORALPHA: return "mix(" + b + ", " + a + ", uTextureFactor.a)";
    case D3DTOP_BLENDTEXTUREALPHAPM: return "(" + a + " + " + b + " * (1.0 - " + tex + ".a))";
    case D3DTOP_BLENDCURRENTALPHA: return "mix(" + b + ", " + a + ", current.a)";
    default: return "current";
    }
}

const char* alphaComparison(std::uint8_t func) {
    switch (func) {
    case D3DCMP_NEVER: return "false";
    case D3DCMP_LESS: return "a8 < uAlphaRef";
    case D3DCMP_EQUAL: return "a8 == uAlphaRef";
    case D3DCMP_LESSEQUAL: return "a8 <= uAlphaRef";
    case D3DCMP_GREATER: return "a8 > uAlphaRef";
    case D3DCMP_NOTEQUAL: return "a8 != uAlphaRef";
    case D3DCMP_GREATEREQUAL: return "a8 >= uAlphaRef";
    default: return nullptr;
    }
}

}  // namespace

std::string vertexShaderSource(const ShaderKey& k) {
    std::string s = "#version 330 core\n";
    s += "layout(location = 0) in vec4 aPosition;\n";
    s += "layout(location = 1) in vec3 aNormal;\n";
    s += "layout(location = 2) in vec4 aDiffuse;\n";
    s += "layout(location = 3) in vec4 aSpecular;\n";
    s += "layout(location = 4) in vec2 aTex0;\n";
    s += "layout(location = 5) in vec2 aTex1;\n";
    s += "uniform mat4 uWorldView;\nuniform mat4 uProjection;\nuniform mat3 uNormalMatrix;\n";
    s += "uniform vec4 uViewport;\n";
    s += "uniform vec4 uMaterial[5];\nuniform vec4 uAmbient;\n";
    s += "uniform vec4 uLights[" + std::to_string(kLightVec4s * 8) + "];\n";
    s += std::string(interpolation(k)) + "out vec4 vDiffuse;\n";
    s += std::string(interpolation(k)) + "out vec4 vSpecular;\n";
    s += "out vec2 vTex0;\nout vec2 vTex1;\n";
    s += "void main() {\n";
    s += k.hasDiffuse ? "  vec4 diffuseIn = aDiffuse;\n" : "  vec4 diffuseIn = vec4(1.0);\n";
    s += k.hasSpecular ? "  vec4 specularIn = aSpecular;\n" : "  vec4 specularIn = vec4(0.0);\n";
    s += k.texCount > 0 ? "  vTex0 = aTex0;\n" : "  vTex0 = vec2(0.0);\n";
    s += k.texCount > 1 ? "  vTex1 = aTex1;\n" : "  vTex1 = vec2(0.0);\n";

    if (k.pretransformed) {
        // Screen pixels: Direct3D pixel centres lie on integers, GL's half a pixel further on.
        s += "  float w = aPosition.w > 0.0 ? 1.0 / aPosition.w : 1.0;\n";
        s += "  vec2 ndc = 2.0 * (aPosition.xy + 0.5 - uViewport.xy) / uViewport.zw - 1.0;\n";
        s += "  gl_Position = vec4(ndc * w, (2.0 * aPosition.z - 1.0) * w, w);\n";
        s += "  vDiffuse = diffuseIn;\n  vSpecular = specularIn;\n}\n";
        return s;
    }

    s += "  vec4 viewPos = uWorldView * vec4(aPosition.xyz, 1.0);\n";
    s += "  vec4 clip = uProjection * viewPos;\n";
    // Direct3D clip space to GL's: y flipped so row 0 of the target is the top, z from
    // [0, w] to [-w, w], and the half-pixel shift of Direct3D's pixel centres.
    s += "  gl_Position = vec4(clip.x + clip.w / uViewport.z, -clip.y + clip.w / uViewport.w,\n"
         "                     2.0 * clip.z - clip.w, clip.w);\n";

    if (!k.lighting) {
        s += "  vDiffuse = diffuseIn;\n  vSpecular = specularIn;\n}\n";
        return s;
    }

    s += "  vec4 mDiffuse = " + materialColour(k.diffuseSource, 0) + ";\n";
    s += "  vec4 mAmbient = " + materialColour(k.ambientSource, 1) + ";\n";
    s += "  vec4 mSpecular = " + materialColour(k.specularSource, 2) + ";\n";
    s += "  vec4 mEmissive = " + materialColour(k.emissiveSource, 3) + ";\n";
    s += "  float power = uMaterial[4].x;\n";
    s += "  vec3 P = viewPos.xyz;\n";
    s += k.hasNormal ? "  vec3 N = uNormalMatrix * aNormal;\n" : "  vec3 N = vec3(0.0);\n";
    if (k.normalizeNormals && k.hasNormal) s += "  if (dot(N, N) > 0.0) N = normalize(N);\n";
    s += k.localViewer ? "  vec3 V = dot(P, P) > 0.0 ? -normalize(P) : vec3(0.0, 0.0, -1.0);\n"
                       : "  vec3 V = vec3(0.0, 0.0, -1.0);\n";
    s += "  vec3 ambientSum = vec3(0.0);\n  vec3 diffuseSum = vec3(0.0);\n  vec3 specularSum = vec3(0.0);\n";
    s += "  vec3 L;\n  float factor;\n  float nDotL;\n";
    // One block per enabled light, in the order the lights were packed (see ShaderKey).
    for (int i = 0; i < k.lightCount; ++i) {
        auto at = [&](int slot) { return "uLights[" + std::to_string(i * kLightVec4s + slot) + "]"; };
        s += "  {\n";
        if (k.lightTypes[i] == D3DLIGHT_DIRECTIONAL) {
            s += "    L = -" + at(4) + ".xyz;\n    factor = 1.0;\n";
        } else {
            s += "    vec3 toLight = " + at(3) + ".xyz - P;\n";
            s += "    float d = length(toLight);\n";
            s += "    L = d > 0.0 ? toLight / d : vec3(0.0, 0.0, -1.0);\n";
            s += "    vec4 atten = " + at(5) + ";\n";
            s += "    float denominator = atten.x + atten.y * d + atten.z * d * d;\n";
            // Beyond its range a light gives nothing.
            s += "    factor = d > " + at(4) + ".w ? 0.0 : (denominator > 0.0 ? 1.0 / denominator : 1.0);\n";
            if (k.lightTypes[i] == D3DLIGHT_SPOT) {
                s += "    vec4 cone = " + at(6) + ";\n";
                s += "    float rho = dot(-" + at(4) + ".xyz, L);\n";
                s += "    float spot = rho > cone.x ? 1.0 : (rho <= cone.y ? 0.0 :\n"
                     "        (atten.w == 0.0 ? 1.0 : pow((rho - cone.y) / (cone.x - cone.y), atten.w)));\n";
                s += "    factor *= spot;\n";
            }
        }
        s += "    ambientSum += factor * " + at(2) + ".rgb;\n";
        s += "    nDotL = clamp(dot(N, L), 0.0, 1.0);\n";
        s += "    diffuseSum += factor * nDotL * " + at(0) + ".rgb;\n";
        if (k.specularEnable) {
            s += "    if (nDotL > 0.0) {\n";
            s += "      float nDotH = max(dot(N, normalize(L + V)), 0.0);\n";
            s += "      specularSum += factor * (power > 0.0 ? pow(nDotH, power) : 1.0) * " + at(1) + ".rgb;\n";
            s += "    }\n";
        }
        s += "  }\n";
    }
    s += "  vec3 colour = mEmissive.rgb + mAmbient.rgb * (uAmbient.rgb + ambientSum) + mDiffuse.rgb * diffuseSum;\n";
    s += "  vDiffuse = vec4(clamp(colour, 0.0, 1.0), clamp(mDiffuse.a, 0.0, 1.0));\n";
    s += "  vSpecular = vec4(clamp(mSpecular.rgb * specularSum, 0.0, 1.0), 0.0);\n";
    s += "}\n";
    return s;
}

std::string fragmentShaderSource(const ShaderKey& k) {
    std::string s = "#version 330 core\n";
    s += std::string(interpolation(k)) + "in vec4 vDiffuse;\n";
    s += std::string(interpolation(k)) + "in vec4 vSpecular;\n";
    s += "in vec2 vTex0;\nin vec2 vTex1;\n";
    s += "uniform sampler2D uTexture0;\nuniform sampler2D uTexture1;\n";
    s += "uniform vec4 uTextureFactor;\nuniform float uAlphaRef;\n";
    s += "out vec4 fragColour;\n";
    s += "void main() {\n";
    s += "  vec4 diffuse = vDiffuse;\n  vec4 specular = vSpecular;\n  vec4 current = diffuse;\n";
    for (int stage = 0; stage < k.activeStages; ++stage) {
        const StageKey& st = k.stages[stage];
        const std::string n = std::to_string(stage);
        const char* coords = st.texCoordIndex == 1 ? "vTex1" : "vTex0";
        if (st.textureBound)
            s += "  vec4 tex" + n + " = texture(uTexture" + n + ", " + coords + ");\n";
        else
            s += "  vec4 tex" + n + " = vec4(1.0);\n";
        const std::string colour =
            operation(st.colorOp, argument(st.colorArg1, stage), argument(st.colorArg2, stage), stage);
        std::string alpha = "current";
        if (st.alphaOp != D3DTOP_DISABLE && st.alphaOp != 0)
            alpha = operation(st.alphaOp, argument(st.alphaArg1, stage), argument(st.alphaArg2, stage), stage);
        s += "  {\n    vec3 c = (" + colour + ").rgb;\n    float a = (" + alpha + ").a;\n";
        s += "    current = clamp(vec4(c, a), 0.0, 1.0);\n  }\n";
    }
    if (k.specularEnable) s += "  current.rgb = clamp(current.rgb + specular.rgb, 0.0, 1.0);\n";
    if (const char* test = alphaComparison(k.alphaFunc)) {
        s += "  float a8 = floor(current.a * 255.0 + 0.5);\n";
        s += std::string("  if (!(") + test + ")) discard;\n";
    }
    s += "  fragColour = current;\n}\n";
    return s;
}

FixedFunctionProgram buildProgram(const ShaderKey& key) {
    FixedFunctionProgram p;
    const GLuint program = linkProgram(vertexShaderSource(key), fragmentShaderSource(key));
    if (!program) return p;
    p.program = program;
    p.worldView = glGetUniformLocation(program, "uWorldView");
    p.projection = glGetUniformLocation(program, "uProjection");
    p.normalMatrix = glGetUniformLocation(program, "uNormalMatrix");
    p.viewport = glGetUniformLocation(program, "uViewport");
    p.material = glGetUniformLocation(program, "uMaterial");
    p.ambient = glGetUniformLocation(program, "uAmbient");
    p.lights = glGetUniformLocation(program, "uLights");
    p.textureFactor = glGetUniformLocation(program, "uTextureFactor");
    p.alphaRef = glGetUniformLocation(program, "uAlphaRef");
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "uTexture0"), 0);
    glUniform1i(glGetUniformLocation(program, "uTexture1"), 1);
    return p;
}

}  // namespace quorvel::gl
