#include "platform/terminal/ModulePngWriter.h"

#include <dlfcn.h>

namespace vemlor {

std::string ModulePngWriter::writePng(const std::string& path, FigureDrawing& drawing, int width,
                                      int height) {
    if (!tried_) {
        tried_ = true;
        std::string module = paths_.programDirectory + "/libvemlor_png.so";
        if (void* handle = ::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            write_ = reinterpret_cast<WriteFunction>(::dlsym(handle, "vemlorWritePng"));
            if (!write_) loadFailure_ = "PNG pictures cannot be made: " + module + " is damaged";
        } else {
            const char* why = ::dlerror();
            loadFailure_ = "PNG pictures cannot be made: " + std::string(why ? why : module);
        }
    }
    if (!write_) return loadFailure_;
    char failure[512] = "";
    if (write_(path.c_str(), &drawing, width, height, failure, sizeof failure)) return {};
    return failure;
}

} // namespace vemlor
