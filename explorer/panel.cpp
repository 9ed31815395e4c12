// The parameter panel in Dear ImGui 1.86. The framework keeps the GLUT
// callbacks: events arrive through the application's handlers and are put
// into ImGui's input state here. ImGui of this version reads buttons and keys
// as held or not at each new frame, so a release that comes before any frame
// saw the press (a quick click, a key, which has no release event here at
// all) is held back until a frame has seen the press. Nothing of ImGui runs
// before the panel is first shown.
#include "explorer/panel.h"

#include <GL/freeglut.h>
#include <backends/imgui_impl_glut.h>
#include <backends/imgui_impl_opengl2.h>
#include <imgui.h>

#include <cfloat>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "explorer/looks.h"
#include "zeu/zeu.h"

namespace explorer {

namespace {

constexpr int kButtons = 3;
constexpr int kKeys = 512;  // GLUT characters, and special keys from 256 on

// Counts ImGui's allocations, for the figure the panel shows.
long allocations = 0;
void* countedAlloc(size_t size, void*) {
  ++allocations;
  return std::malloc(size);
}
void countedFree(void* p, void*) {
  std::free(p);
}

class ImGuiPanel : public Panel {
 public:
  ~ImGuiPanel() override {
    if (!started_) return;
    ImGui_ImplOpenGL2_Shutdown();
    ImGui_ImplGLUT_Shutdown();
    ImGui::DestroyContext();
  }

  // ImGui's own answer is that of its last frame; a pointer that has just
  // come onto or left the panel counts from this event on.
  bool wantsMouse() const override {
    if (!started_) return false;
    const ImVec2 p = ImGui::GetIO().MousePos;
    const bool over = p.x >= min_.x && p.x < max_.x && p.y >= min_.y && p.y < max_.y;
    return over || ImGui::IsAnyItemActive() ||
           (ImGui::GetIO().WantCaptureMouse && ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId));
  }
  bool wantsKeyboard() const override { return started_ && ImGui::GetIO().WantCaptureKeyboard; }

  void mouseButton(float x, float y, int button, bool down) override {
    if (!start()) return;
    ImGuiIO& io = ImGui::GetIO();
    io.MousePos = ImVec2(x, height_ - 1.0f - y);
    const int held = zeuModifiers();
    io.KeyCtrl = (held & ZEU_CTRL) != 0;
    io.KeyShift = (held & ZEU_SHIFT) != 0;
    io.KeyAlt = (held & ZEU_ALT) != 0;
    if (down && (button == 3 || button == 4)) io.MouseWheel += button == 3 ? 1.0f : -1.0f;
    // GLUT's left, middle, right; ImGui's left, right, middle.
    const int b = button == GLUT_LEFT_BUTTON     ? 0
                  : button == GLUT_RIGHT_BUTTON  ? 1
                  : button == GLUT_MIDDLE_BUTTON ? 2
                                                 : -1;
    if (b < 0) return;
    if (down) {
      io.MouseDown[b] = true;
      buttonSeen_[b] = false;
      buttonUp_[b] = false;
    } else if (buttonSeen_[b]) {
      io.MouseDown[b] = false;
    } else {
      buttonUp_[b] = true;
    }
  }

  void mouseMotion(float x, float y) override {
    if (!start()) return;
    ImGui::GetIO().MousePos = ImVec2(x, height_ - 1.0f - y);
  }

  // GLUT reports no key releases to the application: every key is let go
  // once a frame has seen it.
  void key(unsigned char key) override {
    if (!start()) return;
    ImGui_ImplGLUT_KeyboardFunc(key, 0, 0);
    ImGuiIO& io = ImGui::GetIO();
    for (int k = 0; k < 256; ++k)
      if (io.KeysDown[k]) keyUp_[k] = true;
  }

  void specialKey(int key) override {
    if (!start() || key < 0 || key >= kKeys - 256) return;
    ImGui_ImplGLUT_SpecialFunc(key, 0, 0);
    keyUp_[256 + key] = true;
  }

  void frame(PanelState& state, int width, int height) override {
    if (!start()) return;
    ImGuiIO& io = ImGui::GetIO();
    height_ = height;
    io.DisplaySize = ImVec2(static_cast<float>(width), static_cast<float>(height));
    const auto now = std::chrono::steady_clock::now();
    const float dt = std::chrono::duration<float>(now - last_).count();
    io.DeltaTime = dt > 0.0f && dt < 1.0f ? dt : 1.0f / 60.0f;
    last_ = now;
    const long before = allocations;

    ImGui_ImplOpenGL2_NewFrame();
    ImGui::NewFrame();
    release();
    build(state, width);
    ImGui::Render();
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
    allocationsPerFrame_ = allocations - before;
  }

 private:
  bool start() {
    if (started_) return true;
    ImGui::SetAllocatorFunctions(countedAlloc, countedFree);
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // nothing written to the current directory
    io.LogFilename = nullptr;
    ImGui::StyleColorsDark();
    ImGui_ImplGLUT_Init();
    ImGui_ImplOpenGL2_Init();
    last_ = std::chrono::steady_clock::now();
    started_ = true;
    return true;
  }

  // What the last new frame saw pressed may now be let go.
  void release() {
    ImGuiIO& io = ImGui::GetIO();
    for (int b = 0; b < kButtons; ++b) {
      if (buttonUp_[b]) io.MouseDown[b] = false;
      buttonUp_[b] = false;
      buttonSeen_[b] = true;
    }
    // The back end's release functions ask GLUT for the modifiers, which
    // only works inside an input callback: the keys are let go here.
    bool any = false;
    for (int k = 0; k < kKeys; ++k) {
      if (!keyUp_[k]) continue;
      keyUp_[k] = false;
      io.KeysDown[k] = false;
      any = true;
    }
    if (any) io.KeyCtrl = io.KeyShift = io.KeyAlt = false;
  }

  void build(PanelState& s, int width) {
    ImGui::SetNextWindowPos(ImVec2(static_cast<float>(width) - 430.0f, 10.0f), ImGuiCond_Once);
    ImGui::SetNextWindowSize(ImVec2(420.0f, 0.0f), ImGuiCond_Once);
    ImGui::Begin("cloth lab", nullptr, ImGuiWindowFlags_NoCollapse);
    min_ = ImGui::GetWindowPos();
    max_ = ImVec2(min_.x + ImGui::GetWindowSize().x, min_.y + ImGui::GetWindowSize().y);
    if (ImGui::Button(s.paused ? "resume" : "pause", ImVec2(80, 0))) s.paused = !s.paused;
    ImGui::SameLine();
    if (ImGui::Button("step", ImVec2(80, 0))) {
      s.paused = true;
      s.step = true;
    }
    ImGui::SameLine();
    if (ImGui::Button("restart", ImVec2(80, 0))) s.restart = true;
    ImGui::Text("step %.2f ms   draw %.2f ms   %.1f fps", s.stepMs, s.drawMs, s.fps);
    ImGui::Text("panel %.3f ms   ImGui allocations last frame %ld", s.panelMs,
                allocationsPerFrame_);

    ImGui::Separator();
    int presetCount;
    const cloth::PresetInfo* presets = cloth::presetTable(presetCount);
    int preset = static_cast<int>(s.preset);
    if (ImGui::Combo(
            "preset", &preset,
            [](void* table, int k, const char** name) {
              *name = static_cast<const cloth::PresetInfo*>(table)[k].name;
              return true;
            },
            const_cast<cloth::PresetInfo*>(presets), presetCount)) {
      s.preset = presets[preset].preset;
      s.presetChosen = true;
    }
    int count;
    const cloth::ParamInfo* table = cloth::paramTable(count);
    for (int k = 0; k < count; ++k)
      if (!table[k].collider) control(table[k], s.params);
    ImGui::SliderInt("threads", &s.threads, cloth::kMinThreads, cloth::kMaxThreads, "%d",
                     ImGuiSliderFlags_AlwaysClamp);

    // What the cloth meets: the table's obstacle settings, then the meshes
    // of --collider (files, not settings).
    if (ImGui::CollapsingHeader("colliders (xpbd)")) {
      for (int k = 0; k < count; ++k)
        if (table[k].collider) control(table[k], s.params);
      for (int k = 0; k < s.meshCount; ++k) {
        const cloth::MeshObstacle& mesh = *s.meshes[k];
        ImGui::Text("mesh %s: %zu triangles, digest %s", mesh.file.c_str(),
                    mesh.mesh.triangles.size(), mesh.digest.c_str());
      }
    }

    ImGui::Separator();
    ImGui::Combo(
        "look", &s.look,
        [](void*, int k, const char** name) {
          *name = kLooks[k].name;
          return true;
        },
        nullptr, kLookCount);
    ImGui::Checkbox("automatic turn", &s.autoTurn);

    ImGui::Separator();
    plot("largest strain", s.strainPlot, s.strainPoints, 100.0f, "%.2f %%");
    plot("kinetic energy", s.energyPlot, s.energyPoints, 1.0f, "%.4g");
    ImGui::End();
  }

  // The last ten seconds of a figure, its newest value (times scale) above it.
  static void plot(const char* label, const float* values, int count, float scale,
                   const char* format) {
    char newest[48] = "";
    if (count > 0) std::snprintf(newest, sizeof newest, format, values[count - 1] * scale);
    ImGui::PlotLines(label, values, count, 0, newest, 0.0f, FLT_MAX, ImVec2(0.0f, 56.0f));
  }

  // One control per entry of the parameter table, limited to its range:
  // typed values (Ctrl + click) are clamped too, and setParam checks again.
  static void control(const cloth::ParamInfo& info, cloth::Params& params) {
    const float least = static_cast<float>(info.least), most = static_cast<float>(info.most);
    ImGuiSliderFlags flags = ImGuiSliderFlags_AlwaysClamp;
    if (info.logarithmic || (info.least > 0 && info.most / info.least >= 100))
      flags |= ImGuiSliderFlags_Logarithmic;
    char label[64];
    std::snprintf(label, sizeof label, "%s%s", info.name, info.atRestart ? " (on restart)" : "");
    const double value = cloth::paramValue(info, params);
    double next = value;
    switch (info.kind) {
      case cloth::ParamKind::flag: {
        bool on = value != 0.0;
        if (ImGui::Checkbox(label, &on)) next = on ? 1.0 : 0.0;
        break;
      }
      case cloth::ParamKind::choice: {
        int v = static_cast<int>(value);
        if (ImGui::Combo(
                label, &v,
                [](void* data, int k, const char** name) {
                  *name = cloth::choiceName(*static_cast<const cloth::ParamInfo*>(data), k);
                  return *name != nullptr;
                },
                const_cast<cloth::ParamInfo*>(&info), static_cast<int>(info.most) + 1))
          next = v;
        break;
      }
      case cloth::ParamKind::integer: {
        int v = static_cast<int>(value);
        if (ImGui::SliderInt(label, &v, static_cast<int>(info.least), static_cast<int>(info.most),
                             info.format, flags))
          next = v;
        break;
      }
      case cloth::ParamKind::real: {
        const char* format = info.format;
        if (info.doubleField) {
          double v = value;
          if (ImGui::SliderScalar(label, ImGuiDataType_Double, &v, &info.least, &info.most, format,
                                  flags))
            next = v;
        } else {
          float v = static_cast<float>(value);
          if (ImGui::SliderFloat(label, &v, least, most, format, flags)) next = v;
        }
        break;
      }
    }
    if (ImGui::IsItemHovered()) ImGui::SetTooltip("%s", info.meaning);
    if (next != value) cloth::setParam(info, params, next);
  }

  bool started_ = false;
  int height_ = 1;
  std::chrono::steady_clock::time_point last_;
  bool buttonSeen_[kButtons] = {true, true, true};
  bool buttonUp_[kButtons] = {};
  bool keyUp_[kKeys] = {};
  long allocationsPerFrame_ = 0;
  ImVec2 min_, max_;  // the panel's window at the last frame, ImGui's pixels (y down)
};

}  // namespace

std::unique_ptr<Panel> newImGuiPanel() {
  return std::make_unique<ImGuiPanel>();
}

}  // namespace explorer
