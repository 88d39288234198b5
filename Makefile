# Shortcuts for the two commands of the README.
.PHONY: run test bench clean
run:
	./run.sh
test:
	./test.sh
bench:
	scripts/run-bench.sh
clean:
	rm -rf build
