#include "cli/module_file_types.h"

#include <array>
#include <dlfcn.h>
#include <unistd.h>

namespace vellick {

namespace {

constexpr const char* kModuleName = "vellick-file-types.so";

std::string programFolder()
{
    std::array<char, 4096> path {};
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0)
        return {};
    const std::string program(path.data(), static_cast<std::size_t>(length));
    return program.substr(0, program.rfind('/'));
}

} // namespace

ModuleFileTypes::ModuleFileTypes(std::ostream& err)
    : m_err(err)
{
}

ModuleFileTypes::~ModuleFileTypes()
{
    if (m_service && m_destroy)
        m_destroy(m_service);
    if (m_handle)
        ::dlclose(m_handle);
}

void ModuleFileTypes::load()
{
    const std::string folder = programFolder();
    std::string error;
    for (const std::string& path : { folder + "/" + kModuleName, folder + "/../lib/vellick/" + kModuleName }) {
        // Kept mapped after dlclose: Qt keeps caches for the life of the process, and unmapping them
        // would turn those into memory no one can reach.
        m_handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (m_handle)
            break;
        error = ::dlerror();
    }
    if (!m_handle) {
        m_err << "vellick-cli: file types are not available: " << error << '\n';
        return;
    }
    using Create = FileTypeService* (*)();
    const auto create = reinterpret_cast<Create>(::dlsym(m_handle, "vellickCreateFileTypes"));
    m_destroy = reinterpret_cast<void (*)(FileTypeService*)>(::dlsym(m_handle, "vellickDestroyFileTypes"));
    if (create && m_destroy)
        m_service = create();
    else
        m_err << "vellick-cli: file types are not available: " << kModuleName << " is not the file-type module\n";
}

FileTypeInfo ModuleFileTypes::describe(const std::string& path)
{
    std::call_once(m_loaded, [this] { load(); });
    return m_service ? m_service->describe(path) : FileTypeInfo {};
}

} // namespace vellick
