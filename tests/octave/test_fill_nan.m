function tests = test_fill_nan
tests = {@replaces_nan, @keeps_class_and_shape, @bits_kept, @fill_conversion, @empty_fill, ...
         @thread_count, @count_errors, @class_errors};
end

function replaces_nan
assert(isequal(fill_nan([1 NaN 3], 0), [1 0 3]));
y = fill_nan([1 2 3], []);   % no NaN: the fill is not needed
assert(isequal(y, [1 2 3]));
end

function keeps_class_and_shape
for cls = {'double', 'single'}
  x = cast(reshape(1:24, 2, 3, 4), cls{1});
  x(2:5:end) = NaN;
  y = fill_nan(x, -1);
  expected = x;
  expected(isnan(expected)) = -1;
  assert(isa(y, cls{1}) && isequal(size(y), [2 3 4]) && isequal(y, expected));
  e = fill_nan(zeros(2, 0, 3, cls{1}), 5);
  assert(isa(e, cls{1}) && isequal(size(e), [2 0 3]));
end
end

function bits_kept
x = [Inf -Inf -0 realmin/4 NaN -NaN];
y = fill_nan(x, 7);
assert(isequal(y(1:2), [Inf -Inf]) && 1 / y(3) == -Inf && y(4) == realmin/4 && isequal(y(5:6), [7 7]));
% A NaN fill keeps its own bits.
v = typecast(uint64(hex2dec('FFF80000CAFE0001')), 'double');
y = fill_nan([1 NaN], v);
assert(isequal(typecast(y(2), 'uint64'), typecast(v, 'uint64')));
vs = typecast(uint32(hex2dec('FFC0BEEF')), 'single');
ys = fill_nan(single([NaN 1]), vs);
assert(isequal(typecast(ys(1), 'uint32'), typecast(vs, 'uint32')));
end

function fill_conversion
% As assignment converts: y = x; y(isnan(y)) = v.
fills = {0.1, single(0.1), 1e300, int8(-5), uint32(4294967295), int32(16777217), ...
         int64(9007199254740993), true, [2 3]};
for k = 1:numel(fills)
  v = fills{k};
  y = fill_nan([NaN 4], v);
  assert(isa(y, 'double') && y(1) == double(v(1)) && y(2) == 4);
  ys = fill_nan(single([NaN 4]), v);
  assert(isa(ys, 'single') && ys(1) == single(v(1)));
end
assert(fill_nan(single(NaN), 1e300) == Inf);
end

function empty_fill
y = fill_nan(zeros(0, 3), int8([]));
assert(isequal(size(y), [0 3]));
expect_error(@() fill_nan([1 NaN], []), 'fill_nan:emptyFill', ...
             'Input 2 (v) is empty, but input 1 (X) holds NaN to replace.');
end

function thread_count
% The copy is split across OpenMP threads; the result does not depend on how many.
rand('seed', 9);
x = rand(1, 300001);
x(rand(size(x)) < 0.01) = NaN;
expected = x;
expected(isnan(expected)) = 0.5;
assert(isequal(fill_nan(x, 0.5), expected));
end

function count_errors
expect_error(@() fill_nan(1), '', 'Two input required.');
expect_error(@() fill_nan(1, 2, 3), '', 'Two input required.');
expect_error(@() fill_nan(1, 2), '', 'One output required.', 0);
expect_error(@() fill_nan(1, 2), '', 'One output required.', 2);
end

function class_errors
type_message = sprintf('Only single and double types are supported!\n');
if exist('OCTAVE_VERSION', 'builtin')
  type_message = type_message(1:end - 1);   % Octave drops a final line feed of an error message
end
bad = {int32([1 2]), uint8(1), true, 'ab', {1}, struct('a', 1)};
for k = 1:numel(bad)
  expect_error(@() fill_nan(bad{k}, 0), 'data:TypeError', type_message);
end
expect_error(@() fill_nan([1 2i], 0), 'fill_nan:notReal', ...
             'Input 1 (X) must be a real full single or double array, not complex double.');
expect_error(@() fill_nan([1 NaN], 'a'), 'fill_nan:badFill', ...
             'Input 2 (v) must be a real numeric or logical value, not char.');
expect_error(@() fill_nan([1 NaN], {0}), 'fill_nan:badFill', ...
             'Input 2 (v) must be a real numeric or logical value, not cell.');
expect_error(@() fill_nan([1 NaN], struct()), 'fill_nan:badFill', ...
             'Input 2 (v) must be a real numeric or logical value, not struct.');
expect_error(@() fill_nan([1 NaN], 1i), 'fill_nan:badFill', ...
             'Input 2 (v) must be a real numeric or logical value, not complex double.');
end
