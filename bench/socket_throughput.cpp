// Loopback throughput of the socket layer: 1 GiB from one CSocket to another, both driven by the
// one message loop of this thread, against 1 GiB between two plain blocking sockets with a thread
// on each side. Both pairs use the same system buffer sizes, send blocks and receive size, and
// only count what arrives. Prints each figure and the ratio of the medians.
//
//   bench_socket_throughput [--benchmark_repetitions=N]   (default 3 of each)
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "net/csocket.h"
#include "platform/loop/message_loop.h"

namespace {

using tarvik::CSocket;
using Clock = std::chrono::steady_clock;

constexpr std::uint64_t kTotalBytes = 1ull << 30;
constexpr std::size_t kBlockBytes = 1 << 20;       // one SendData / send() call
constexpr int kSocketBufferBytes = 1'027'840;      // SO_RCVBUF, SO_SNDBUF and the receive size

std::vector<double> g_csocket_rates;  // bytes per second, one per run
std::vector<double> g_plain_rates;

std::uint16_t FreeLoopbackPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return ntohs(address.sin_port);
}

// Seconds to move kTotalBytes from one CSocket to another on this thread's loop.
double MoveThroughCSockets() {
  auto listener = CSocket::Create();
  auto server = CSocket::Create();
  auto client = CSocket::Create();
  for (CSocket* s : {listener.get(), server.get(), client.get()}) {
    s->SetRcvbuf(kSocketBufferBytes);
    s->SetSndbuf(kSocketBufferBytes);
  }
  const std::vector<std::uint8_t> block(kBlockBytes, 0x5A);
  std::vector<std::uint8_t> arrived;  // reused by every GetData
  std::uint64_t sent = 0;
  std::uint64_t received = 0;
  bool failed = false;
  Clock::time_point start;

  listener->OnConnectionRequest = [&](std::int32_t id) { server->Accept(id); };
  server->OnDataArrival = [&](double) {
    server->GetData(arrived);
    received += arrived.size();
  };
  client->OnSendComplete = [&] {
    if (sent == 0) start = Clock::now();
    if (sent >= kTotalBytes) return;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kBlockBytes, kTotalBytes - sent));
    sent += n;
    client->SendData(block, static_cast<double>(n), false);
  };
  for (CSocket* s : {listener.get(), server.get(), client.get()}) {
    s->OnError = [&failed] { failed = true; };
  }
  const std::uint16_t port = FreeLoopbackPort();
  listener->SetLocalPort(port);
  listener->Listen();
  client->SetRemoteHost("127.0.0.1");
  client->SetRemotePort(port);
  client->Connect();
  while (received < kTotalBytes && !failed) {
    tarvik::platform::WaitForMessage(1000);
    tarvik::platform::ProcessPendingMessages();
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (failed) {
    std::fprintf(stderr, "the CSocket transfer failed\n");
    std::exit(1);
  }
  client->CloseSocket();
  server->CloseSocket();
  listener->CloseSocket();
  while (tarvik::platform::WaitForMessage(10)) tarvik::platform::ProcessPendingMessages();
  return seconds;
}

void SetBuffers(int fd) {
  ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &kSocketBufferBytes, sizeof kSocketBufferBytes);
  ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &kSocketBufferBytes, sizeof kSocketBufferBytes);
}

// Seconds to move kTotalBytes between two plain blocking sockets, a thread on each side.
double MoveThroughPlainSockets() {
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  SetBuffers(listener);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  ::listen(listener, 1);
  const int client = ::socket(AF_INET, SOCK_STREAM, 0);
  SetBuffers(client);
  ::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address);
  const int server = ::accept(listener, nullptr, nullptr);

  const Clock::time_point start = Clock::now();
  std::thread sender([client] {
    const std::vector<std::uint8_t> block(kBlockBytes, 0x5A);
    std::uint64_t sent = 0;
    while (sent < kTotalBytes) {
      const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kBlockBytes, kTotalBytes - sent));
      const ssize_t done = ::send(client, block.data(), n, MSG_NOSIGNAL);
      if (done <= 0) break;
      sent += static_cast<std::uint64_t>(done);
    }
  });
  std::uint64_t received = 0;
  std::thread receiver([server, &received] {
    auto buffer = std::make_unique<std::uint8_t[]>(kSocketBufferBytes);
    while (received < kTotalBytes) {
      const ssize_t n = ::recv(server, buffer.get(), kSocketBufferBytes, 0);
      if (n <= 0) break;
      received += static_cast<std::uint64_t>(n);
    }
  });
  sender.join();
  receiver.join();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  ::close(client);
  ::close(server);
  ::close(listener);
  if (received < kTotalBytes) {
    std::fprintf(stderr, "the plain transfer failed\n");
    std::exit(1);
  }
  return seconds;
}

void Report(benchmark::State& state, double seconds, std::vector<double>& rates) {
  state.SetIterationTime(seconds);
  state.SetBytesProcessed(static_cast<std::int64_t>(kTotalBytes));
  rates.push_back(static_cast<double>(kTotalBytes) / seconds);
}

void BM_CSocketPairOneLoop(benchmark::State& state) {
  for (auto _ : state) Report(state, MoveThroughCSockets(), g_csocket_rates);
}

void BM_PlainBlockingSocketsTwoThreads(benchmark::State& state) {
  for (auto _ : state) Report(state, MoveThroughPlainSockets(), g_plain_rates);
}

BENCHMARK(BM_CSocketPairOneLoop)->Iterations(1)->Repetitions(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainBlockingSocketsTwoThreads)->Iterations(1)->Repetitions(3)->UseManualTime()->Unit(benchmark::kMillisecond);

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t mid = values.size() / 2;
  return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (g_csocket_rates.empty() || g_plain_rates.empty()) return 0;
  const double csocket = Median(g_csocket_rates);
  const double plain = Median(g_plain_rates);
  std::printf("\n1 GiB over loopback, median of %zu and %zu runs:\n", g_csocket_rates.size(),
              g_plain_rates.size());
  std::printf("  two CSockets on one message loop:         %8.1f MiB/s\n", csocket / (1 << 20));
  std::printf("  two plain blocking sockets, two threads:  %8.1f MiB/s\n", plain / (1 << 20));
  std::printf("  ratio CSocket / plain:                    %8.2f\n", csocket / plain);
  return 0;
}
