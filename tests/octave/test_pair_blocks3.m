function tests = test_pair_blocks3
tests = {@worked_example, @matches_plain_loop, @symmetric_with_zero_diagonal, @nan_patterns, ...
         @sizes_without_pairs, @count_errors, @validation_errors};
end

function worked_example
K = pair_blocks3([1 4], [2 5], [3 6], [1 1]);
B = [8 10 12; 16 20 24; 24 30 36];
assert(isa(K, 'double') && isequal(size(K), [6 6]));
assert(isequal(K, [zeros(3) B; B' zeros(3)]));
end

function matches_plain_loop
% The operation written out in the host's own scalar arithmetic, in the same
% grouping and order, gives the same bits (NaN compared as NaN).
rand('seed', 3); randn('seed', 3);
m = 23; n = 6;
U = randn(m, n); V = randn(m, n); W = randn(m, n); A = randn(m, n);
U(4, 2) = -0; V(7, 5) = Inf; W(1, 3) = 1e-310; A(9, 6) = 1e300; U(11, 1) = 1e-200;
K = pair_blocks3(U, V, W, A);
R = zeros(3 * n);
for i = 1:m
  for j = 1:n - 1
    kj = [U(i, j) V(i, j) W(i, j)];
    d = A(i, j) + A(i, j);
    for k = j + 1:n
      kk = [U(i, k) V(i, k) W(i, k)];
      t = A(i, k) * d;
      for r = 1:3
        for c = 1:3
          R(3 * j - 3 + r, 3 * k - 3 + c) = R(3 * j - 3 + r, 3 * k - 3 + c) + (kj(r) * t) * kk(c);
        end
      end
    end
  end
end
R = triu(R) + triu(R, 1)';
assert(isequal(isnan(K), isnan(R)));
same = K == R | isnan(K);
assert(all(same(:)));
% Signs of zeros count too.
zero = K == 0;
assert(isequal(1 ./ K(zero), 1 ./ R(zero)));
end

function symmetric_with_zero_diagonal
rand('seed', 4);
K = pair_blocks3(rand(40, 9), rand(40, 9), rand(40, 9), rand(40, 9));
assert(isequal(K, K'));
for j = 1:9
  assert(all(all(K(3 * j - 2:3 * j, 3 * j - 2:3 * j) == 0)));
end
end

function nan_patterns
rand('seed', 5);
n = 4; j = 3;
for which = 1:4
  X = {rand(5, n), rand(5, n), rand(5, n), rand(5, n)};
  X{which}(2, j) = NaN;
  K = pair_blocks3(X{:});
  expected = false(3 * n);
  if which < 4
    expected(3 * j - 3 + which, :) = true;
    expected(:, 3 * j - 3 + which) = true;
  else
    expected(3 * j - 2:3 * j, :) = true;
    expected(:, 3 * j - 2:3 * j) = true;
  end
  expected(3 * j - 2:3 * j, 3 * j - 2:3 * j) = false;
  assert(isequal(isnan(K), expected));
end
end

function sizes_without_pairs
% The other inputs are not read without pairs or samples.
assert(isequal(size(pair_blocks3(zeros(5, 0), {}, '', int8(1))), [0 0]));
assert(isequal(pair_blocks3(ones(4, 1), {}, '', int8(1)), zeros(3)));
assert(isequal(pair_blocks3(zeros(0, 3), {}, '', int8(1)), zeros(9)));
end

function count_errors
x = ones(2, 3);
expect_error(@() pair_blocks3(x, x, x), '', 'Four input required.');
expect_error(@() pair_blocks3(x, x, x, x, x), '', 'Four input required.');
expect_error(@() pair_blocks3(x, x, x, x), '', 'One output required.', 0);
expect_error(@() pair_blocks3(x, x, x, x), '', 'One output required.', 2);
end

function validation_errors
x = ones(2, 3);
expect_error(@() pair_blocks3(single(x), x, x, x), 'pair_blocks3:notRealDouble', ...
             'Input 1 (U) must be a real double array, not single.');
expect_error(@() pair_blocks3(x, ones(2, 2), x, x), 'pair_blocks3:tooFewElements', ...
             'Input 2 (V) must hold at least 6 elements, but holds 4.');
expect_error(@() pair_blocks3(x, x, x + 1i, x), 'pair_blocks3:notRealDouble', ...
             'Input 3 (W) must be a real double array, not complex double.');
expect_error(@() pair_blocks3(x, x, x, int32(x)), 'pair_blocks3:notRealDouble', ...
             'Input 4 (A) must be a real double array, not int32.');
end
