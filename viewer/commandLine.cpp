#include "viewer/commandLine.h"

#include <cerrno>

#include "viewkit/files/errorText.h"
#include "viewkit/files/safeFile.h"

namespace shapeview {

const char kUsage[] =
    "usage: shapeView FILE            open a window showing every record in FILE\n"
    "       shapeView --info FILE     print what FILE holds; no window\n"
    "       shapeView --obj OUT FILE  convert FILE to a Wavefront OBJ; no window\n"
    "       shapeView --help          show this help\n"
    "In the window: left-drag turns the view, the wheel zooms, v puts the view back,\n"
    "a click on a shape prints the vertex under the pointer, p saves a PNG picture,\n"
    "F1 toggles full screen, Escape quits.\n";

Command parseCommandLine(int argc, const char* const* argv) {
  Command c;
  const int n = argc - 1;  // arguments after the program name
  if (n < 1) return c;
  const std::string first = argv[1];
  if (first == "--help" && n == 1) {
    c.kind = Command::kHelp;
  } else if (first == "--info" && n == 2) {
    c.kind = Command::kInfo;
    c.file = argv[2];
  } else if (first == "--obj" && n == 3) {
    c.kind = Command::kObj;
    c.out = argv[2];
    c.file = argv[3];
  } else if (n == 1 && !first.empty() && first[0] != '-') {
    c.kind = Command::kWindow;
    c.file = first;
  }
  return c;
}

std::string pictureStem(const std::string& file) {
  const size_t slash = file.rfind('/');
  std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name.empty() ? "shapeView" : name;
}

namespace {

int fail(FILE* out, FILE* err, const std::string& message) {
  std::fflush(out);
  std::fprintf(err, "shapeView: %s\n", message.c_str());
  return 1;
}

// Output that cannot be written is a failure, not a success without output.
int finish(FILE* out, FILE* err) {
  if (std::fflush(out) != 0 || std::ferror(out))
    return fail(out, err, "cannot write standard output: " + viewkit::errorText(errno));
  return 0;
}

}  // namespace

int run(const Command& command, FILE* out, FILE* err, ShapeFile& file) {
  if (command.kind == Command::kUsageError) {
    std::fputs(kUsage, err);
    return 2;
  }
  if (command.kind == Command::kHelp) {
    std::fputs(kUsage, out);
    return finish(out, err);
  }

  std::string error;
  if (!readShapeFile(command.file, file, error)) return fail(out, err, error);

  switch (command.kind) {
    case Command::kInfo:
      for (size_t k = 0; k < file.records.size(); ++k)
        std::fprintf(out, "%s\n", infoLine(k, file.records[k]).c_str());
      std::fprintf(out, "%zu records, %lld bytes\n", file.records.size(),
                   static_cast<long long>(file.bytes));
      return finish(out, err);
    case Command::kObj: {
      // "-" is standard output; OUT is the user's own choice, so a device
      // or FIFO is written into and a link's target gets the content.
      // Content that went into a stream is the output: no line follows it.
      if (command.out == "-") {
        // A failed write leaves the stream's error set, which finish reports.
        writeObjFile(out, file);
        return finish(out, err);
      }
      viewkit::Delivery delivery = viewkit::Delivery::kNone;
      if (!viewkit::writeFile(
              command.out, [&](FILE* f) { return writeObjFile(f, file); }, error,
              viewkit::WriteMode::kUserOutput, &delivery))
        return fail(out, err, "cannot write " + command.out + ": " + error);
      if (delivery == viewkit::Delivery::kFile)
        std::fprintf(out, "wrote %s\n", command.out.c_str());
      return finish(out, err);
    }
    default:
      return kOpenWindow;
  }
}

}  // namespace shapeview
