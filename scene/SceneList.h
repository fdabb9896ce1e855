// The engine's loaded scenes. Plug-ins receive the list and walk `scenes` by index or look a
// scene up with findScene, which is inline so that a plug-in carries its own copy.
#pragma once

#include <string>
#include <vector>

#include "scene/Scene.h"

struct SceneList {
    SceneList() = default;
    SceneList(const SceneList&) = delete;
    SceneList& operator=(const SceneList&) = delete;
    ~SceneList() { destroyAll(); }

    std::vector<Scene*> scenes;  // owned, in loading order

    // The folder put before every scene file name. One value for the whole program, shared by
    // every list; empty until set.
    static void setBasePath(const std::string& path);
    static const std::string& basePath();

    // Reads base path + name and appends the scene, named name as given. Null when the file
    // cannot be opened.
    Scene* loadScene(const std::string& name);

    // Reads base path + name into a new scene named name as given, without appending it (the
    // caller owns it); null when the file cannot be opened. Touches no list, so scenes can be
    // read on several threads at once.
    static Scene* readScene(const std::string& name);

    // The first scene in loading order whose name equals name exactly (case-sensitive).
    Scene* findScene(const std::string& sceneName) const {
        for (Scene* scene : scenes)
            if (scene->name == sceneName) return scene;
        return nullptr;
    }

    // Destroys every scene, in loading order, and empties the list.
    void destroyAll();
};
