// Shader source files and the two load exceptions (thrown by pointer): no GL, usable without a window.
#pragma once

#include <exception>
#include <string>

class FileNotFoundException : public std::exception {
public:
    // fileName is not copied: it must outlive the exception.
    FileNotFoundException(const std::string& message, const char* fileName) : message(message), fileName(fileName) {}
    const char* what() const noexcept override { return message.c_str(); }
    const char* getFileName() const noexcept { return fileName; }

private:
    std::string message;
    const char* fileName;
};

class ShaderCompilationException : public std::exception {
public:
    explicit ShaderCompilationException(const std::string& message) : message(message) {}
    const char* what() const noexcept override { return message.c_str(); }

private:
    std::string message;
};

// Throws FileNotFoundException (by pointer) when the file cannot be opened. Every line ends in '\n'.
std::string readShaderFile(const char* path);
