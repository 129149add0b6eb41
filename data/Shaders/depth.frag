#version 330 core
// The depth attachment is the only output.
void main() {
}
