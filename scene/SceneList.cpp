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

Scene* SceneList::loadScene(const std::string& name) {
    auto* reader = new SceneReader;
    reader->name = name;
    if (!reader->open(sharedBasePath() + name)) {
        delete reader;
        return nullptr;
    }
    scenes.push_back(reader);
    return reader;
}

void SceneList::destroyAll() {
    for (Scene* scene : scenes) delete scene;
    scenes.clear();
}
