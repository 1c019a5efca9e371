// Writes the program's answer sounds (a bright rising chime for a right answer, a low muted
// buzz for a wrong one) as 16-bit mono WAV files, so the build ships sounds of our own.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

void Put(std::vector<char>& out, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

bool WriteWav(const std::string& path, const std::vector<double>& samples)
{
    std::vector<char> out;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    Put(out, 36 + dataBytes, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put(out, 16, 4);
    Put(out, 1, 2); // PCM
    Put(out, 1, 2); // mono
    Put(out, kRate, 4);
    Put(out, kRate * 2, 4);
    Put(out, 2, 2);
    Put(out, 16, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put(out, dataBytes, 4);
    for (double s : samples) {
        const double clamped = std::fmax(-1.0, std::fmin(1.0, s));
        Put(out, static_cast<std::uint32_t>(static_cast<std::int16_t>(clamped * 30000.0)), 2);
    }
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(out.data(), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(f);
}

// A bell-like tone: a few inharmonic partials under an exponential decay.
void AddBell(std::vector<double>& s, double start, double freq, double length, double gain)
{
    const int first = static_cast<int>(start * kRate);
    const int count = static_cast<int>(length * kRate);
    for (int i = 0; i < count && first + i < static_cast<int>(s.size()); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double env = std::exp(-t * 6.0) * std::fmin(1.0, t * 400.0);
        const double v = std::sin(2 * kPi * freq * t) + 0.35 * std::sin(2 * kPi * freq * 2.01 * t) +
                         0.15 * std::sin(2 * kPi * freq * 3.02 * t);
        s[static_cast<std::size_t>(first + i)] += gain * env * v;
    }
}

std::vector<double> Correct()
{
    std::vector<double> s(static_cast<std::size_t>(0.6 * kRate), 0.0);
    AddBell(s, 0.0, 783.99, 0.6, 0.35);  // G5
    AddBell(s, 0.09, 1046.5, 0.5, 0.35); // C6
    return s;
}

std::vector<double> Wrong()
{
    std::vector<double> s(static_cast<std::size_t>(0.45 * kRate), 0.0);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double env = std::fmin(1.0, t * 200.0) * std::fmin(1.0, (0.45 - t) * 20.0);
        // Two detuned low square-ish tones give a soft "buzz", not a harsh alarm.
        const double a = std::tanh(3.0 * std::sin(2 * kPi * 155.0 * t));
        const double b = std::tanh(3.0 * std::sin(2 * kPi * 146.8 * t));
        s[i] = 0.22 * env * (a + b);
    }
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sounds MEDIA_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    if (!WriteWav(folder + "/Correct.wav", Correct()) ||
        !WriteWav(folder + "/Wrong.wav", Wrong())) {
        std::fprintf(stderr, "make_sounds: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
