// Loading the images effects may use: the "@loadimage" lines and the maps of scene materials.
#include "engine/DemoEngine.h"
#include "platform/win/ReportRecording.h"
#include "script/Reports.h"

DemoEngine::ImageLine DemoEngine::imageLine(int i) const {
    ImageLine line;
    line.name = script.textAfter(i, 0, "@loadimage");
    if (!line.name) return line;
    const char* next = script.textAfter(i, 1, "@loadimage");
    line.withAlpha = next && std::string(next) == "alpha";
    if (line.withAlpha) line.alphaName = script.textAfter(i, 2, "@loadimage");
    return line;
}

void DemoEngine::readImagesAhead() {
    std::vector<std::string> paths;
    {
        quorvel::platform::ReportRecording quiet;
        for (int i = 0; i < script.countOf("@loadimage"); ++i) {
            const ImageLine line = imageLine(i);
            if (!line.name) break;  // loading stops there too
            paths.push_back(images.basePath + line.name);
            if (line.alphaName) paths.push_back(images.basePath + line.alphaName);
        }
    }
    imageReads.start(paths);
}

void DemoEngine::readMaterialMapsAhead() {
    std::vector<std::string> paths;
    for (const Scene* scene : scenes.scenes) {
        for (const Material* material : scene->materials) {
            if (!material->textureMap.empty()) paths.push_back(images.basePath + material->textureMap);
            if (!material->opacityMap.empty()) paths.push_back(images.basePath + material->opacityMap);
        }
    }
    imageReads.start(paths);
}

HRESULT DemoEngine::loadImages() {
    // Whatever was read ahead and not used goes with this call, loaded or not.
    struct LetGo {
        ImageFileReads& reads;
        ~LetGo() { reads.clear(); }
    } letGo{imageReads};

    for (int i = 0; i < script.countOf("@loadimage"); ++i) {
        const auto [name, withAlpha, alphaName] = imageLine(i);
        if (!name) return E_FAIL;  // the reader has said what is missing
        if (withAlpha) {
            if (!alphaName || !images.LoadImageWithAlpha(name, alphaName, false, &imageReads)) {
                reportError("Couldn't load %s or %s", name, alphaName ? alphaName : "");
                reportAt(headerArgument("@loadimage", i),
                         std::string("Couldn't load ") + name + " or " + (alphaName ? alphaName : ""));
                return E_FAIL;
            }
        } else if (!images.LoadImage(name, false, &imageReads)) {
            reportError("Couldn't load %s", name);
            reportAt(headerArgument("@loadimage", i), std::string("Couldn't load ") + name);
            return E_FAIL;
        }
    }

    for (int i = 0; i < script.countOf("@loadscene"); ++i) {
        const char* sceneName = script.textAfter(i, 0, "@loadscene");
        if (!sceneName) return E_FAIL;
        HRESULT hr = loadMaterialMaps(sceneName);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT DemoEngine::loadMaterialMaps(const char* sceneName) {
    Scene* scene = scenes.findScene(sceneName);
    if (!scene) return E_FAIL;
    for (const Material* material : scene->materials) {
        const std::string& texture = material->textureMap;
        const std::string& opacity = material->opacityMap;
        if (!texture.empty() && !opacity.empty()) {
            // The texture carries the opacity map as its alpha.
            if (!images.LoadImageWithAlpha(texture.c_str(), opacity.c_str(), true, &imageReads)) {
                reportError("Couldn't load %s or %s", texture.c_str(), opacity.c_str());
                reportMapFailure(sceneName, material->name, texture + " or " + opacity);
                return E_FAIL;
            }
        } else if (!opacity.empty()) {
            if (!images.LoadImageWithAlpha(opacity.c_str(), opacity.c_str(), true, &imageReads)) {
                reportError("Couldn't load %s", opacity.c_str());
                reportMapFailure(sceneName, material->name, opacity);
                return E_FAIL;
            }
        } else if (!texture.empty()) {
            if (!images.LoadImage(texture.c_str(), true, &imageReads)) {
                reportError("Couldn't load %s", texture.c_str());
                reportMapFailure(sceneName, material->name, texture);
                return E_FAIL;
            }
        }
    }
    return S_OK;
}
