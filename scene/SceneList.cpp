#include "scene/SceneList.h"

#include "scene/SceneReader.h"

namespace {

std::string& sharedBasePath() {
    static std::string path;
    return path;
}

}  // namespace

void SceneList::setBasePath(const std::string& path) { sharedBasePath() = path; }

const std::string& SceneList::basePath() { return sharedBasePath(); }

Scene* SceneList::readScene(const std::string& name) {
    auto* reader = new SceneReader;
    reader->name = name;
    if (!reader->open(sharedBasePath() + name)) {
        delete reader;
        return nullptr;
    }
    return reader;
}

Scene* SceneList::loadScene(const std::string& name) {
    Scene* scene = readScene(name);
    if (scene) scenes.push_back(scene);
    return scene;
}

void SceneList::destroyAll() {
    for (Scene* scene : scenes) delete scene;
    scenes.clear();
}
