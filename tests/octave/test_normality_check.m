function tests = test_normality_check
tests = {@decisions_by_case_and_level, @edge_cases, @storage_order_no_sorting, @count_errors, ...
         @core_errors, @validation_errors};
end

function x = normal_sample
% 40 draws from N(10, 2^2), ascending: against N(10, 2^2) the statistic is
% 1.6431 (case 0), 1.6762 (case 3) and 1.6678 (case 4).
x = [6.075892090561883; 6.09705230318704; 6.420206312644048; 6.97888127778706; 7.059925672022077; ...
     7.610837946842883; 7.952696779858119; 8.1336640944563; 8.144274618459542; 8.262706522049989; ...
     8.265105779113087; 8.368620936948659; 8.424621411826422; 8.53743026923911; 8.547899351101396; ...
     8.964533058030948; 9.18357110505682; 9.35660878703262; 9.577621758885417; 9.594813347519754; ...
     9.683174228745687; 9.96327376987524; 10.069598505310312; 10.197074550262593; 10.299191673924925; ...
     10.391540425688635; 10.404940705107958; 10.45032144814915; 10.457599445926217; 10.479257769797362; ...
     10.568904507138368; 10.638828784032599; 10.819390715787103; 10.884883475532636; 11.511890164893265; ...
     11.712036206970865; 11.714540732249535; 11.748516590362662; 12.737650579219403; 13.393111640213787];
end

function decisions_by_case_and_level
x = normal_sample();
levels = [0.25 0.15 0.10 0.05 0.025 0.01 0.005];
expected = [1 1 0 0 0 0 0; 1 1 1 1 1 1 0; 1 1 0 0 0 0 0; 1 1 1 1 1 1 1; 1 1 1 1 1 0 0];
d = zeros(5, 7);
for c = 0:4
  for k = 1:7
    d(c + 1, k) = normality_check(x, 10, 2, levels(k), c);
  end
end
assert(isequal(d, expected));
v = normality_check(x, 10, 2, 0.05, 4);
assert(isa(v, 'double') && isreal(v) && isequal(size(v), [1 1]));
% truncation toward zero of the case, tolerance of the level
assert(normality_check(x, 10, 2, 0.05, 4.9) == 1);
assert(normality_check(x, 10, 2, 0.05, -0.5) == 0);
assert(normality_check(x, 10, 2, 0.05 + 5e-11, 4) == 1);
end

function edge_cases
assert(normality_check([], 0, 1, 0.05, 0) == 0);               % NaN statistic
assert(normality_check([-1; 0; 40], 0, 1, 0.005, 0) == 1);     % infinite statistic
assert(normality_check([-1; NaN; 1], 0, 1, 0.25, 3) == 0);
assert(normality_check([1; 2], 1.5, 0, 0.005, 0) == 1);        % sigma 0
assert(normality_check([1; 1.5; 2], 1.5, 0, 0.25, 0) == 0);    % sigma 0, 0/0
end

function storage_order_no_sorting
x = normal_sample();
assert(normality_check(x, 10, 2, 0.005, 0) == 0);
assert(normality_check(reshape(x, 8, 5), 10, 2, 0.005, 0) == 0);
assert(normality_check(reshape(x, 5, 8).', 10, 2, 0.005, 0) == 1);  % rows hold the order
assert(normality_check(flipud(x), 10, 2, 0.005, 0) == 1);
end

function count_errors
expect_error(@() normality_check(1, 0, 1, 0.05), '', 'Five input required.');
expect_error(@() normality_check(1, 0, 1, 0.05, 0, 0), '', 'Five input required.');
expect_error(@() normality_check(1, 0, 1, 0.05, 0), '', 'One output required.', 0);
expect_error(@() normality_check(1, 0, 1, 0.05, 0), '', 'One output required.', 2);
end

function core_errors
case_message = '''adCase'' must be an integer between 0 and 4.';
alpha_message = 'Admissible ''alpha'' values: 0.25,  0.15,  0.10,  0.05,  0.025, 0.01, 0.005';
x = normal_sample();
for c = [-1 5 NaN Inf 2^32 + 3]
  expect_error(@() normality_check(x, 10, 2, 0.05, c), '', case_message);
end
for alpha = [0.05 + 2e-10, 0.3, NaN]
  expect_error(@() normality_check(x, 10, 2, alpha, 0), '', alpha_message);
end
expect_error(@() normality_check(x, 10, 2, 0.3, 5), '', case_message);
end

function validation_errors
x = normal_sample();
expect_error(@() normality_check(single(x), 10, 2, 0.05, 0), 'normality_check:notRealDouble', ...
             'Input 1 (x) must be a real double array, not single.');
expect_error(@() normality_check(x + 1i, 10, 2, 0.05, 0), 'normality_check:notRealDouble', ...
             'Input 1 (x) must be a real double array, not complex double.');
expect_error(@() normality_check(sparse(x), 10, 2, 0.05, 0), 'normality_check:notRealDouble', ...
             'Input 1 (x) must be a real double array, not sparse double.');
expect_error(@() normality_check(x, [], 2, 0.05, 0), 'normality_check:tooFewElements', ...
             'Input 2 (mu) must hold at least 1 element, but holds 0.');
expect_error(@() normality_check(x, 10, int32(2), 0.05, 0), 'normality_check:notRealDouble', ...
             'Input 3 (sigma) must be a real double array, not int32.');
expect_error(@() normality_check(x, 10, 2, 0.05, zeros(1, 0)), 'normality_check:tooFewElements', ...
             'Input 5 (adCase) must hold at least 1 element, but holds 0.');
end
