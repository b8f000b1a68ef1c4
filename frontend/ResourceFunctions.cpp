#include "frontend/ResourceFunctions.h"

#include "core/Errors.h"
#include "exec/UserFuncTable.h"
#include "exec/Workspace.h"
#include "frontend/FunctionHeader.h"
#include "frontend/InputSource.h"

#include <filesystem>

namespace vemlor {

namespace {

void declareResource(Workspace& workspace, const std::string& path,
                     const InputSource::FunctionStart& start) {
    FunctionSignature signature = headerFromText(start.line);
    signature.flags |= FUNC_RESOURCE;
    UserFuncTable& table = workspace.userFunctions();
    const std::string& name = signature.name;
    if (UserFunc* existing = table.find(name)) {
        if (!existing->isResource()) throw SyntaxError("name clash with resource function " + name);
        if (existing->source().text != start.line)
            throw SyntaxError("vemlor resource defs do not match " + name);
        return; // loaded before
    }
    if (workspace.classify(name).kind != NAME_UNKNOWN)
        throw SyntaxError("name clash with resource function " + name);
    DefinitionSource source;
    source.fileName = path;
    source.line = start.lineNumber;
    source.blockCommentStart = start.commentStart;
    source.text = start.line;
    table.declare(std::move(signature), std::move(source));
}

} // namespace

UserFunc* loadResourceFunction(Workspace& workspace, const std::string& name) {
    const std::string& directory = workspace.userFunctions().resourceDirectory();
    if (directory.empty() || name.empty()) return nullptr;
    std::string path = directory + "/" + name + ".vml";
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return nullptr;
    InputSource file(path);
    if (!file.isOpen()) return nullptr;
    for (;;) {
        InputSource::FunctionStart start = file.nextFunction();
        if (start.line.empty()) break;
        declareResource(workspace, path, start);
    }
    return workspace.userFunctions().find(name);
}

} // namespace vemlor
