// run_program for the web build's test programs, which run under node: the
// child is started with node's child_process.spawnSync, a .js program (a
// program of this build) by the same node that runs this one.
#include "run_program.hpp"

#include <emscripten/emscripten.h>

#include <stdexcept>

// Starts the child and waits for it; keeps its output in this node process
// until copied into the C++ side, and returns its exit status (-1 when a
// signal ended it, -2 when it could not be started). `argv` and `env` are
// NUL-separated lists; a memory cap other than 0 is passed to V8 as the most
// 64 KiB pages the child's WebAssembly memory may grow to.
EM_JS(int, spawn_child,
      (const char* argv, int argv_size, const char* env, int env_size, const char* input,
       double input_size, double memory_pages),
      {
        const list = (at, size) => size === 0 ? [] :
          new TextDecoder().decode(HEAPU8.subarray(at, at + size)).split(String.fromCharCode(0)).slice(0, -1);
        const args = list(argv, argv_size);
        const environment = Object.assign({}, process.env);
        for (const entry of list(env, env_size)) {
          const eq = entry.indexOf('=');
          environment[entry.slice(0, eq)] = entry.slice(eq + 1);
        }
        let program = args.shift();
        if (program.endsWith('.js')) {
          args.unshift(program);
          if (memory_pages > 0) args.unshift('--wasm-max-mem-pages=' + memory_pages);
          program = process.execPath;
        }
        const child = require('child_process').spawnSync(program, args, {
          input: Buffer.from(HEAPU8.subarray(input, input + input_size)),
          env: environment,
          maxBuffer: 1 << 30,
        });
        globalThis.tavrinChild = child;
        if (child.error) return -2;
        return child.status === null ? -1 : child.status;
      });

// How many bytes the child wrote to stdout (1) or stderr (2).
EM_JS(double, child_output_size, (int stream),
      { return (stream === 1 ? globalThis.tavrinChild.stdout : globalThis.tavrinChild.stderr).length; });

// Copies what the child wrote to stdout (1) or stderr (2) to `into`.
EM_JS(void, copy_child_output, (int stream, char* into), {
  HEAPU8.set(stream === 1 ? globalThis.tavrinChild.stdout : globalThis.tavrinChild.stderr, into);
});

namespace tavrin::test {

namespace {

std::string joined(const std::vector<std::string>& items) {
  std::string out;
  for (const auto& item : items) {
    if (item.find('\0') != std::string::npos) throw std::invalid_argument("a NUL inside an argument");
    out.append(item).push_back('\0');
  }
  return out;
}

std::string output_of(int stream) {
  std::string text(static_cast<std::size_t>(child_output_size(stream)), '\0');
  if (!text.empty()) copy_child_output(stream, text.data());
  return text;
}

// The child's stack and static data beside the heap a cap is meant for (the
// web build links node programs with a 1 MiB stack).
constexpr std::size_t fixed_memory = std::size_t{2} << 20;

} // namespace

Run run_program(const std::vector<std::string>& argv, std::string_view input,
                const std::vector<std::string>& env, std::size_t data_limit) {
  if (argv.empty()) throw std::invalid_argument("no program to run");
  for (const auto& e : env)
    if (e.find('=') == std::string::npos || e.front() == '=')
      throw std::invalid_argument("environment entry is not NAME=VALUE: " + e);
  const std::string args = joined(argv), environment = joined(env);
  const double pages = data_limit == 0 ? 0.0 : static_cast<double>((data_limit + fixed_memory + 65535) / 65536);
  Run run;
  const auto start = std::chrono::steady_clock::now();
  run.status = spawn_child(args.data(), static_cast<int>(args.size()), environment.data(),
                           static_cast<int>(environment.size()), input.data(),
                           static_cast<double>(input.size()), pages);
  run.elapsed = std::chrono::steady_clock::now() - start;
  if (run.status == -2) throw std::runtime_error("cannot start " + argv[0]);
  run.out = output_of(1);
  run.err = output_of(2);
  return run;
}

} // namespace tavrin::test
