#include <iostream>

int main() {
    std::cout << " tarlisen\n";
    return 0;
}
