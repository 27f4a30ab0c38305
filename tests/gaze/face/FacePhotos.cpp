#include "FacePhotos.h"

#include <fstream>
#include <regex>
#include <sstream>

namespace helm::test {

std::string facePhotoFolder() {
    return "/usr/share/doc/libdlib19.1/examples/faces";
}

std::vector<AnnotatedPhoto> annotatedPhotos() {
    std::ifstream in(facePhotoFolder() + "/testing_with_face_landmarks.xml");
    std::vector<AnnotatedPhoto> photos;
    const std::regex image(R"(<image file='([^']+)')");
    const std::regex box(R"(<box top='(\d+)' left='(\d+)' width='(\d+)' height='(\d+)')");
    const std::regex part(R"(<part name='(\d+)' x='(-?\d+)' y='(-?\d+)')");
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
        if (std::regex_search(line, m, image)) {
            photos.push_back({facePhotoFolder() + "/" + m[1].str(), {}});
        } else if (std::regex_search(line, m, box) && !photos.empty()) {
            AnnotatedFace face;
            face.box = cv::Rect(std::stoi(m[2]), std::stoi(m[1]), std::stoi(m[3]), std::stoi(m[4]));
            face.points.resize(68);
            photos.back().faces.push_back(face);
        } else if (std::regex_search(line, m, part) && !photos.empty() &&
                   !photos.back().faces.empty()) {
            const int n = std::stoi(m[1]);
            if (n >= 0 && n < 68)
                photos.back().faces.back().points[static_cast<std::size_t>(n)] =
                    cv::Point2d(std::stoi(m[2]), std::stoi(m[3]));
        }
    }
    return photos;
}

} // namespace helm::test
